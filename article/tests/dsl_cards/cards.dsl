#NAME "Hand-written cards"
#INDEX_LANGUAGE "English"
#CONTENTS_LANGUAGE "Russian"

apple
	[m1][b]1.[/b] [trn]яблоко[/trn] [p]сущ.[/p]
	[m2][ex][lang id=1033]an apple a day[/lang] — [i]яблоко в день[/i][/ex]
pear
	[m1][trn]груша[/trn]; [i]см. тж.[/i] [ref]apple[/ref]
bank
	[m0][b]I[/b]
	[m1][b]1)[/b] [p]сущ.[/p] [trn]берег[/trn] [com](реки)[/com]
	[m1][b]2)[/b] [trn]банк[/trn]
	[m0][b]II[/b]
	[m1][p]гл.[/p] [trn]класть деньги в банк[/trn]
run
ran
	[m1][trn]бежать[/trn], [trn]бегать[/trn]
	[m2][ex]to run a shop — [trn]держать лавку[/trn][/ex]
colour
color
	[m1][c]цвет[/c], [c red]красный[/c], [c darkgreen]тёмно-зелёный[/c]
quote
	[m1][trn]цитата[/trn] \[не путать с\] \{фигурные\} \\ обратная черта
note
	[m1]{{редакторское примечание}}[trn]заметка[/trn]{{ещё одно}}
	{{целая строка комментария}}
	[m1][trn]записка[/trn]
underline
	[m1][u]подчёркнутое[/u] слово
super
	[m1]E = mc[sup]2[/sup], H[sub]2[/sub]O
sound
	[m1][s]sound.wav[/s] [trn]звук[/trn]
picture
	[m1][s]picture.jpg[/s][trn]картинка[/trn]
optional
	[m1][trn]необязательное[/trn] [*][ex]скрытый пример[/ex][/*]
stress
	[m1][trn]ударе[']ние[/'][/trn]
link
	[m1][url]https://example.org/[/url] [trn]ссылка[/trn]
transcription
	[m1][t]trænˈskrɪpʃən[/t] [trn]транскрипция[/trn]
not indexed
	[m1][!trs]не в индексе[/!trs] [trn]в индексе[/trn]
language
	[m1][lang name="English"]language[/lang] — [trn]язык[/trn]
nested
	[m1][b][i]жирный курсив[/i][/b] и [i][b]курсив жирный[/b][/i]
margins
	[m0]ноль
	[m3]три
	[m9]девять[/m]
bold only
	[m1][b]полужирный[/b]
italic only
	[m1][i]курсив[/i]
label
	[m1][p]разг.[/p] [p]уст.[/p] [trn]ярлык[/trn]
example block
	[m1][ex][i]пример[/i] [b]в рамке[/b][/ex]
comment block
	[m1][com][i]толкование[/i] в комментарии[/com]
escapes
	[m1]\~ тильда, \@ собака, \# решётка, \^ крышка
empty lines

	[m1][trn]после пустой строки[/trn]
tabs and blanks
	[m1]   много    пробелов	и табуляций   
犬
いぬ
	[m1][b]1.[/b] [trn]собака[/trn]
	[m1][b]2.[/b] [trn]шпион[/trn] [p]перен.[/p]
日本語
	[m1][trn]японский язык[/trn] [ex]日本語を話す — [i]говорить по-японски[/i][/ex]
Unihan-like
	[m1]Definition: something
	[m1]Japanese(On): KOKU
