// The hover hint's texts in three languages.
#include "common/ui_text/hint_texts.h"

namespace {

constexpr HintTextRow kRows[] = {
    // The status bar's parts.
    {6, 1, {u"Название словаря с текущей статьёй", u"Name of the dictionary with current article", u"現在の記事の辞書名"}},
    {6, 2, {u"Номер строки в списке и число строк", u"Line number in the list and the number of lines", u"リストの行番号と行数"}},
    // The book reader.
    {12, 1003, {u"Оглавление: показывать только заголовки", u"Table of contents: show headings only", u"目次：見出しだけを表示"}},
    {12, 1004, {u"Убрать первую колонку", u"Remove the first column", u"第1列を閉じる"}},
    {12, 1006, {u"Добавить колонку с другим языком", u"Add a column with another language", u"別の言語の列を追加"}},
    {12, 1009, {u"Убрать вторую колонку", u"Remove the second column", u"第2列を閉じる"}},
    {12, 1010, {u"Убрать третью колонку", u"Remove the third column", u"第3列を閉じる"}},
    {12, 1011, {u"Убрать четвёртую колонку", u"Remove the fourth column", u"第4列を閉じる"}},
    {12, 1330, {u"Словарь-книга для чтения", u"Book dictionary to read", u"読む本の辞書"}},
    {12, 1331, {u"Язык первой колонки", u"Language of the first column", u"第1列の言語"}},
    {12, 1332, {u"Язык второй колонки", u"Language of the second column", u"第2列の言語"}},
    {12, 1333, {u"Книга первой колонки", u"Book of the first column", u"第1列の本"}},
    {12, 1334, {u"Язык третьей колонки", u"Language of the third column", u"第3列の言語"}},
    {12, 1335, {u"Язык четвёртой колонки", u"Language of the fourth column", u"第4列の言語"}},
    {12, 1339, {u"Книга второй колонки", u"Book of the second column", u"第2列の本"}},
    {12, 1340, {u"Книга третьей колонки", u"Book of the third column", u"第3列の本"}},
    {12, 1341, {u"Книга четвёртой колонки", u"Book of the fourth column", nullptr}},
    // The dictionaries dialog.
    {7, 1, {u"Закрыть окно; все изменения уже сохранены", u"Close the window; every change is already saved", u"ウィンドウを閉じる（変更は保存済み）"}},
    {7, 2, {u"Закрыть окно", u"Close the window", u"ウィンドウを閉じる"}},
    {7, 1003, {u"Добавить файл словаря в список\n(исходный файл сначала будет преобразован)", u"Add a dictionary file to the list\n(a source file is converted first)", u"辞書ファイルをリストに追加\n（ソースファイルは先に変換）"}},
    {7, 1004, {u"Убрать словарь из списка (файл остаётся на диске)", u"Remove the dictionary from the list (the file stays on disk)", u"辞書をリストから外す（ファイルは残る）"}},
    {7, 1005, {u"Включить / выключить словарь", u"Turn the dictionary on / off", u"辞書のオン／オフ"}},
    {7, 1015, {u"Ход загрузки файла с сервера", u"Progress of the download from the server", u"サーバーからのダウンロードの進行"}},
    {7, 1151, {u"Сведения о выбранном файле", u"About the selected file", u"選択したファイルの情報"}},
    {7, 1285, {u"Переместить словарь выше в списке", u"Move the dictionary up the list", u"辞書をリストの上へ移動"}},
    {7, 1286, {u"Переместить словарь ниже в списке", u"Move the dictionary down the list", u"辞書をリストの下へ移動"}},
    {7, 1290, {u"Файлы, которые можно установить с сервера", u"Files that can be installed from the server", u"サーバーからインストールできるファイル"}},
    {7, 1316, {u"Установить или обновить выбранный файл с сервера", u"Install or update the selected file from the server", u"選択したファイルをサーバーからインストール"}},
    {7, 40072, {u"Свойства словаря", u"Properties of the dictionary", u"辞書のプロパティ"}},
    {7, 40147, {u"Создать новый личный словарь", u"Create a new personal dictionary", u"新しい個人辞書を作成"}},
    {7, 40152, {u"Сделать словарь рабочим: в него добавляются новые статьи", u"Make it the working dictionary: new articles go into it", u"作業辞書にする（新しい記事の追加先）"}},
    {7, 40156, {u"Загрузить книгу в выбранный словарь", u"Load a book into the selected dictionary", nullptr}},
    {7, 40157, {u"Оптимизировать словарь: перестроить его из живых статей", u"Optimize the dictionary: rebuild it from its live articles", u"辞書の最適化（有効な記事から再構築）"}},
    // The article editor's line kinds.
    {8, 1, {u"Строка содержит заголовок статьи", u"The line contains the headword", u"見出し語の行"}},
    {8, 2, {u"Строка не распознана", u"The line is not recognised", u"認識できない行"}},
    {8, 3, {u"Строка содержит чтение слова", u"The line contains word reading", u"単語の読みの行"}},
    {8, 4, {u"Строка содержит слово иероглифами", u"The line contains the word in kanji", u"漢字表記の行"}},
    {8, 5, {u"Строка содержит перевод", u"The line contains a translation", u"訳語の行"}},
    {8, 7, {u"Строка содержит пример", u"The line contains an example", u"用例の行"}},
    {8, 8, {u"Строка содержит слово буквами", u"The line contains the word in letters", u"ローマ字表記の行"}},
    {8, 9, {u"Строка содержит примечание", u"The line contains a note", u"注釈の行"}},
    {8, 10, {u"Строка содержит идиому", u"The line contains an idiom", u"慣用句の行"}},
    // Command and control ids under any window.
    {kHintAnyKind, 1016, {u"Справка", u"Help", u"ヘルプ"}},
    {kHintAnyKind, 1017, {u"Новое окно редактора с копией статьи (Ctrl+N)", u"A new editor window with a copy of the article (Ctrl+N)", u"記事のコピーで新しい編集ウィンドウ (Ctrl+N)"}},
    {kHintAnyKind, 1362, {u"Сохранить статью в словаре (Ctrl+S)", u"Save the article to the dictionary (Ctrl+S)", u"記事を辞書に保存 (Ctrl+S)"}},
    {kHintAnyKind, 1363, {u"Закрыть редактор без сохранения", u"Close the editor without saving", u"保存せずに閉じる"}},
    {kHintAnyKind, 40001, {u"Выйти из программы", u"Exit the program", u"プログラムを終了"}},
    {kHintAnyKind, 40002, {u"О программе", u"About the program", u"バージョン情報"}},
    {kHintAnyKind, 40003, {u"Список переведённых слов", u"List of translated words", u"翻訳された単語のリスト"}},
    {kHintAnyKind, 40004, {u"Список слов по чтению", u"List of words by reading", u"読みによる単語リスト"}},
    {kHintAnyKind, 40006, {u"Обратный перевод: слова по переводу", u"Reverse translation: words by their translation", u"逆引き：訳語から単語"}},
    {kHintAnyKind, 40007, {u"Список слов по иероглифам", u"List of words by kanji", u"漢字による単語リスト"}},
    {kHintAnyKind, 40010, {u"Найти слово из поля ввода (Enter)", u"Look up the word of the input box (Enter)", u"入力欄の単語を検索 (Enter)"}},
    {kHintAnyKind, 40011, {u"Найти текст из буфера обмена", u"Look up the text of the clipboard", u"クリップボードの文字列を検索"}},
    {kHintAnyKind, 40012, {u"Следить за буфером обмена и переводить скопированный текст", u"Watch the clipboard and translate copied text", u"クリップボードを監視して翻訳"}},
    {kHintAnyKind, 40013, {u"Окно поверх всех окон", u"Keep the window on top of all windows", u"常に手前に表示"}},
    {kHintAnyKind, 40014, {u"Очистить поле ввода", u"Clear the input box", u"入力欄を消去"}},
    {kHintAnyKind, 40024, {u"Вырезать", u"Cut", u"切り取り"}},
    {kHintAnyKind, 40025, {u"Вставить", u"Paste", u"貼り付け"}},
    {kHintAnyKind, 40029, {u"Убрать выделенные строки из списка", u"Remove the selected lines from the list", u"選択した行をリストから削除"}},
    {kHintAnyKind, 40033, {u"Копировать", u"Copy", u"コピー"}},
    {kHintAnyKind, 40037, {u"Английский интерфейс", u"English interface", u"英語のメニュー"}},
    {kHintAnyKind, 40050, {u"Показать главное окно", u"Show the main window", u"メインウィンドウを表示"}},
    {kHintAnyKind, 40051, {u"Показать главное окно", u"Show the main window", u"メインウィンドウを表示"}},
    {kHintAnyKind, 40052, {u"Спрятать главное окно", u"Hide the main window", u"メインウィンドウを隠す"}},
    {kHintAnyKind, 40062, {u"Открыть книгу с параллельным текстом", u"Open a book of parallel text", u"対訳の本を開く"}},
    {kHintAnyKind, 40064, {u"Редактировать статью", u"Edit the article", u"記事を編集"}},
    {kHintAnyKind, 40066, {u"Удалить статью из словаря", u"Delete the article from the dictionary", u"記事を辞書から削除"}},
    {kHintAnyKind, 40067, {u"Добавить новую статью в рабочий словарь", u"Add a new article to the working dictionary", u"作業辞書に新しい記事を追加"}},
    {kHintAnyKind, 40070, {u"Установленные словари и книги", u"Installed dictionaries and books", u"インストールされた辞書と本"}},
    {kHintAnyKind, 40083, {u"Новая статья из буфера обмена", u"A new article from the clipboard", u"クリップボードから新しい記事"}},
    {kHintAnyKind, 40114, {u"Переводить слова под курсором мыши", u"Translate the words under the mouse cursor", u"マウスカーソルの下の単語を翻訳"}},
    {kHintAnyKind, 40117, {u"Содержание справки (F1)", u"Help contents (F1)", u"ヘルプの目次 (F1)"}},
    {kHintAnyKind, 40119, {u"Шрифты", u"Fonts", u"フォント"}},
    {kHintAnyKind, 40134, {u"Открыть сайт программы", u"Open the program's web site", u"プログラムのサイトを開く"}},
    {kHintAnyKind, 40137, {u"Значок в области уведомлений", u"Icon in the notification area", u"通知領域のアイコン"}},
    {kHintAnyKind, 40139, {u"Результаты полнотекстового поиска", u"Results of the full-text search", u"全文検索の結果"}},
    {kHintAnyKind, 40140, {u"Избранные статьи", u"Selected articles", u"お気に入りの記事"}},
    {kHintAnyKind, 40141, {u"Японский интерфейс", u"Japanese interface", u"日本語のメニュー"}},
    {kHintAnyKind, 40142, {u"Лексикон: слова полнотекстового указателя", u"Lexicon: the words of the full-text index", u"語彙：全文索引の単語"}},
    {kHintAnyKind, 40143, {u"История просмотренных статей", u"History of viewed articles", u"閲覧した記事の履歴"}},
    {kHintAnyKind, 40144, {u"Русский интерфейс", u"Russian interface", u"ロシア語のメニュー"}},
    {kHintAnyKind, 40154, {u"Нет действия", u"No action", u"動作なし"}},
    {kHintAnyKind, 40164, {u"Искать слово в Yarxi", u"Search the word in Yarxi", u"Yarxiで検索"}},
    {kHintAnyKind, 40166, {u"Искать слово в Weblio", u"Search the word in Weblio", u"Weblioで検索"}},
    {kHintAnyKind, 40167, {u"Искать выделенный текст в списке", u"Look the selected text up in the list", u"選択した文字列をリストで検索"}},
    {kHintAnyKind, 40169, {u"Полнотекстовый поиск выделенного текста", u"Full-text search for the selected text", u"選択した文字列を全文検索"}},
    {kHintAnyKind, 40170, {u"Искать слово в Jisho", u"Search the word in Jisho", u"Jishoで検索"}},
    {kHintAnyKind, 40171, {u"Перевести выделенный текст по словам", u"Translate the selected text word by word", u"選択した文字列を単語ごとに翻訳"}},
    {kHintAnyKind, 40172, {u"Режим преобразования ввода: ромадзи, кана, как есть", u"Input conversion mode: romaji, kana or as typed", u"入力変換モード：ローマ字、かな、そのまま"}},
    {kHintAnyKind, 40183, {u"Искать слово в Google", u"Search the word in Google", u"Googleで検索"}},
    {kHintAnyKind, 40184, {u"Искать на японских страницах Google", u"Search Google's Japanese pages", u"Googleで日本語のページを検索"}},
    {kHintAnyKind, 40185, {u"Искать картинки в Google", u"Search Google images", u"Googleで画像を検索"}},
    {kHintAnyKind, 40186, {u"Искать в японской Википедии", u"Search the Japanese Wikipedia", u"日本語版ウィキペディアで検索"}},
    {kHintAnyKind, 40187, {u"Искать слово в Goo", u"Search the word in Goo", u"Gooで検索"}},
    {kHintAnyKind, 40188, {u"Искать слово в Eijiro", u"Search the word in Eijiro", u"英辞郎で検索"}},
    {kHintAnyKind, 40190, {u"Печать и сохранение статей", u"Print and save articles", u"記事の印刷と保存"}},
    {kHintAnyKind, 40192, {u"Выделить всё", u"Select all", u"すべて選択"}},
    {kHintAnyKind, 40194, {u"Добавить в избранные статьи", u"Add to the selected articles", u"お気に入りに追加"}},
    {kHintAnyKind, 40205, {u"Назад по истории", u"Back in the history", u"履歴を戻る"}},
    {kHintAnyKind, 40206, {u"Вперёд по истории", u"Forward in the history", u"履歴を進む"}},
    {kHintAnyKind, 40212, {u"Перевести слово", u"Translate the word", u"単語を翻訳"}},
    {kHintAnyKind, 40214, {u"Большие подсказки у кнопок", u"Big hints near buttons", u"ボタンの大きなヒント"}},
    {kHintAnyKind, 40400, {u"Копировать статью в рабочий словарь", u"Copy the article to the working dictionary", u"記事を作業辞書にコピー"}},
    {kHintAnyKind, 40500, {u"Новая статья из выделенного текста", u"A new article from the selected text", u"選択した文字列から新しい記事"}},
    {kHintAnyKind, 40615, {u"Строка: чтение (F2)", u"Line: reading (F2)", u"行：読み (F2)"}},
    {kHintAnyKind, 40616, {u"Строка: слово иероглифами (F3)", u"Line: word in kanji (F3)", u"行：漢字表記 (F3)"}},
    {kHintAnyKind, 40617, {u"Строка: слово буквами (F4)", u"Line: word in letters (F4)", u"行：ローマ字表記 (F4)"}},
    {kHintAnyKind, 40618, {u"Строка: перевод (F5)", u"Line: translation (F5)", u"行：訳語 (F5)"}},
    {kHintAnyKind, 40619, {u"Строка: пример (F6)", u"Line: example (F6)", u"行：用例 (F6)"}},
    {kHintAnyKind, 40620, {u"Строка: примечание (F7)", u"Line: note (F7)", u"行：注釈 (F7)"}},
    {kHintAnyKind, 40622, {u"Отменить (Ctrl+Z)", u"Undo (Ctrl+Z)", u"元に戻す (Ctrl+Z)"}},
    {kHintAnyKind, 40623, {u"Повторить (Ctrl+Y)", u"Redo (Ctrl+Y)", u"やり直し (Ctrl+Y)"}},
    {kHintAnyKind, 40624, {u"Курсив (Ctrl+I)", u"Italic (Ctrl+I)", u"斜体 (Ctrl+I)"}},
    {kHintAnyKind, 40625, {u"Полужирный (Ctrl+B)", u"Bold (Ctrl+B)", u"太字 (Ctrl+B)"}},
    {kHintAnyKind, 40626, {u"Преобразовать в кану (Ctrl+K)", u"Convert to kana (Ctrl+K)", u"かなに変換 (Ctrl+K)"}},
    {kHintAnyKind, 40630, {u"Строка: идиома (F8)", u"Line: idiom (F8)", u"行：慣用句 (F8)"}},
    {kHintAnyKind, 40631, {u"Строка: неопределённая (F9)", u"Line: undefined (F9)", u"行：未定義 (F9)"}},
    {kHintAnyKind, 40642, {u"Добавить сохранённую статью в избранные статьи", u"Add the saved article to the selected articles", u"保存した記事をお気に入りに追加"}},
    {kHintAnyKind, 40645, {u"Настройки программы", u"Settings of the program", u"設定"}},
    {kHintAnyKind, 40647, {u"Копировать статью", u"Copy the article", u"記事をコピー"}},
    {kHintAnyKind, 40671, {u"Меню программы", u"The program's menu", u"プログラムのメニュー"}},
    {kHintAnyKind, 40691, {u"Искать слово в Weblio English", u"Search the word in Weblio English", u"Weblio英和で検索"}},
};

const HintTextRow* FindRow(int32_t kind, int32_t id) {
    for (const HintTextRow& row : kRows)
        if (row.kind == kind && row.id == id) return &row;
    return nullptr;
}

}  // namespace

std::span<const HintTextRow> HintTextRows() { return kRows; }

const char16_t* GetHintText(int32_t id, int32_t kind, int32_t language) {
    const HintTextRow* row = nullptr;
    if (kind == 6 || kind == 7 || kind == 8 || kind == 12) row = FindRow(kind, id);
    if (!row) row = FindRow(kHintAnyKind, id);
    if (!row) return nullptr;
    if (language >= 0 && language <= 2 && row->texts[language]) return row->texts[language];
    for (int fallback : {1, 0, 2})
        if (row->texts[fallback]) return row->texts[fallback];
    return nullptr;
}
