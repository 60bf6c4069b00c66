#!/usr/bin/env python3
# Writes dictionary/language_name_rows.inc, the rows of LanguageNameTable:
# ISO 639-3 code, English name and Russian name of every language a source
# file may name. Codes and English names are ours (below); Russian names come
# from Debian's iso-codes package (its ISO 639 JSON lists and their Russian
# message catalogues), then from the Russian locale of Debian's
# unicode-cldr-core, then from our own list for the languages neither names;
# the few names of our own in OWN_RUSSIAN win over all of them. A language
# left without a Russian name stops the run: the Russian interface never
# shows an English one.
# Run once by hand when the rows change (with the packages iso-codes and
# unicode-cldr-core installed); the output is committed:
#   python3 tools/language_names/make_language_names.py > dictionary/language_name_rows.inc
import gettext
import json
import sys
import xml.etree.ElementTree as ElementTree

ISO_JSON = "/usr/share/iso-codes/json/iso_639-{}.json"
ISO_MO = "/usr/share/locale/ru/LC_MESSAGES/iso_639-{}.mo"
CLDR_RU = "/usr/share/unicode/cldr/common/main/ru.xml"

# Code and English name of each row after the blank first row, in table order.
ROWS = """\
abk Abkhaz; ady Adyghe; afr Afrikaans; ain Ainu; sqi Albanian; arq Algerian Arabic; amh Amharic;
grc Ancient Greek; ara Arabic; arg Aragonese; hye Armenian; asm Assamese; ast Asturian; awa Awadhi;
aym Aymara; aze Azerbaijani; bam Bambara; bak Bashkir; eus Basque; bel Belarusian; ben Bengali;
ber Berber; bho Bhojpuri; brx Bodo; bos Bosnian; bre Breton; bul Bulgarian; mya Burmese; bua Buryat;
yue Cantonese; cat Catalan; ceb Cebuano; dtp Central Dusun; cha Chamorro; cbk Chavacano; che Chechen;
chr Cherokee; cmn Chinese (Mandarin); nya Chinyanja; cho Choctaw; ckt Chukchi; chv Chuvash;
kzj Coastal Kadazan; cor Cornish; cos Corsican; crh Crimean Tatar; hrv Croatian; cyo Cuyonon;
ces Czech; dan Danish; dng Dungan; nld Dutch; arz Egyptian Arabic; egl Emilian; eng English;
myv Erzya; epo Esperanto; est Estonian; ewe Ewe; fao Faroese; hif Fiji Hindi; fij Fijian; fin Finnish;
fra French; fry Frisian; fur Friulian; gag Gagauz; glg Galician; gbm Garhwali; kat Georgian;
deu German; gil Gilbertese; ell Greek; kal Greenlandic; grn Guarani; ngu Guerrero Nahuatl;
guj Gujarati; hat Haitian Creole; hak Hakka Chinese; hau Hausa; haw Hawaiian; heb Hebrew; hil Hiligaynon;
mrj Hill Mari; hin Hindi; hnj Hmong Njua; hoc Ho; hun Hungarian; iba Iban; isl Icelandic; ido Ido;
ibo Igbo; ilo Ilocano; ind Indonesian; ina Interlingua; ile Interlingue; acm Iraqi Arabic;
gle Irish; ita Italian; jpn Japanese; jav Javanese; jdt Juhuri (Judeo-Tat); xal Kalmyk; kam Kamba;
kan Kannada; pam Kapampangan; krc Karachay-Balkar; kaa Karakalpak; csb Kashubian; kaz Kazakh;
kjh Khakas; kha Khasi; khm Khmer; kin Kinyarwanda; tlh Klingon; ksh Kölsch; kor Korean; avk Kotava;
kum Kumyk; kur Kurdish; kir Kyrgyz; lld Ladin; lad Ladino; lkt Lakota; lao Lao; lat Latin;
lvs Latvian; lzz Laz; lin Lingala; lfn Lingua Franca Nova; lzh Literary Chinese; lit Lithuanian;
liv Livonian; jbo Lojban; lmo Lombard; lou Louisiana Creole; nds Low Saxon; dsb Lower Sorbian;
lug Luganda; ltz Luxembourgish; mkd Macedonian; mlg Malagasy; zsm Malay; mal Malayalam; mlt Maltese;
mgm Mambae; glv Manx; mri Maori; mar Marathi; mah Marshallese; mhr Meadow Mari; enm Middle English;
frm Middle French; nan Min Nan Chinese; moh Mohawk; mdf Moksha; mnw Mon; mon Mongolian; ary Moroccan Arabic;
nah Nahuatl; nav Navajo; npi Nepali; ngt Ngeq; fuv Nigerian Fulfulde; niu Niuean; nog Nogai;
apc North Levantine Arabic; max North Moluccan Malay; sme Northern Sami; nob Norwegian (Bokmål);
nno Norwegian (Nynorsk); nov Novial; oci Occitan; ori Odia (Oriya); oji Ojibwe; oar Old Aramaic;
orv Old East Slavic; ang Old English; non Old Norse; prg Old Prussian; osx Old Saxon; tpw Old Tupi;
nlv Orizaba Nahuatl; oss Ossetian; ota Ottoman Turkish; pfl Palatine German; pau Palauan; pag Pangasinan;
pap Papiamento; pus Pashto; pdc Pennsylvania German; pes Persian; pcd Picard; pms Piedmontese;
ppl Pipil; pol Polish; por Portuguese; fuc Pulaar; pan Punjabi (Eastern); pnb Punjabi (Western);
que Quechua; qya Quenya; rom Romani; ron Romanian; roh Romansh; rus Russian; smo Samoan; sag Sango;
san Sanskrit; srd Sardinian; sco Scots; gla Scottish Gaelic; srp Serbian; tsn Setswana; crs Seychellois Creole;
wuu Shanghainese; sna Shona; shs Shuswap; scn Sicilian; sjn Sindarin; snd Sindhi; sin Sinhala;
slk Slovak; slv Slovenian; som Somali; alt Southern Altai; sot Southern Sotho; spa Spanish;
sux Sumerian; sun Sundanese; swh Swahili; swe Swedish; gsw Swiss German; mvv Tagal Murut; tgl Tagalog;
tgk Tajik; tam Tamil; rif Tarifit; tat Tatar; tel Telugu; tet Tetun; tha Thai; bod Tibetan;
tir Tigrinya; tpi Tok Pisin; tkl Tokelauan; ton Tongan; tso Tsonga; tur Turkish; tuk Turkmen;
tyv Tuvinian; udm Udmurt; ukr Ukrainian; umb Umbundu; hsb Upper Sorbian; urd Urdu; urh Urhobo;
uig Uyghur; uzb Uzbek; vec Venetian; vie Vietnamese; vol Volapük; vro Võro; wln Walloon; war Waray;
cym Welsh; wol Wolof; xho Xhosa; sah Yakut; yid Yiddish; yor Yoruba; zza Zaza; zul Zulu; chu Church Slavonic;
"""

# Our own Russian names; they win over every source (the blank after the Greek
# name is part of it).
OWN_RUSSIAN = {
    "jpn": "Японский",
    "rus": "Русский",
    "eng": "Английский",
    "lat": "Латинский",
    "cmn": "Китайский",
    "heb": "Иврит",
    "ell": "Греческий ",
    "wuu": "Шанхайский",
}

# Russian names of the languages that neither iso-codes nor CLDR names in
# Russian (the names Russian linguistic literature uses).
GAP_RUSSIAN = {
    "arq": "Алжирский арабский", "dtp": "Центральный дусун", "cbk": "Чавакано",
    "kzj": "Прибрежный кадазан", "cyo": "Куйонон", "dng": "Дунганский",
    "arz": "Египетский арабский", "egl": "Эмилианский", "hif": "Фиджийский хинди",
    "gbm": "Гархвали", "ngu": "Науатль Герреро", "mrj": "Горномарийский",
    "hnj": "Хмонг ньюа", "hoc": "Хо", "acm": "Иракский арабский",
    "jdt": "Джуури (горско-еврейский)", "kjh": "Хакасский", "avk": "Котава",
    "lld": "Ладинский", "lzz": "Лазский", "lfn": "Лингва франка нова",
    "lzh": "Классический китайский (вэньянь)", "liv": "Ливский", "lmo": "Ломбардский",
    "mgm": "Мамбаи", "mhr": "Луговомарийский", "mnw": "Монский",
    "ary": "Марокканский арабский", "ngt": "Нгек", "fuv": "Нигерийский фульфульде",
    "apc": "Северолевантийский арабский", "max": "Северомолуккский малайский",
    "nov": "Новиаль", "oar": "Древнеарамейский", "orv": "Древнерусский",
    "osx": "Древнесаксонский", "tpw": "Древний тупи", "nlv": "Науатль Орисабы",
    "pfl": "Пфальцский", "pdc": "Пенсильванский немецкий", "pcd": "Пикардский",
    "pms": "Пьемонтский", "ppl": "Пипиль", "fuc": "Пулар",
    "pnb": "Западный панджаби", "qya": "Квенья", "shs": "Шусвап",
    "sjn": "Синдарин", "mvv": "Тагальский мурут", "rif": "Тарифит",
    "urh": "Урхобо", "vec": "Венецианский", "vro": "Выруский",
}


def load(part):
    with open(ISO_JSON.format(part), encoding="utf-8") as f:
        entries = json.load(f)["639-" + part]
    with open(ISO_MO.format(part), "rb") as f:
        catalogue = gettext.GNUTranslations(f)
    return entries, catalogue


def translated(catalogue, name):
    # The first of the alternatives a translation lists, or None when the
    # catalogue has none for the name.
    text = catalogue.gettext(name)
    if text == name:
        return None
    first = text.split(";")[0].strip()
    return first[:1].upper() + first[1:]


def russian_name(code, english, lists):
    (iso3, cat3), (iso2, cat2), (iso5, cat5) = lists
    by_code3 = {e["alpha_3"]: e for e in iso3}
    by_code2 = {e["alpha_3"]: e for e in iso2}
    by_alpha2 = {e["alpha_2"]: e for e in iso2 if "alpha_2" in e}
    by_code5 = {e["alpha_3"]: e for e in iso5}
    entry = by_code3.get(code)
    tries = []
    if entry:
        tries.append((cat3, entry["name"]))
    tries += [(cat3, english), (cat2, english), (cat5, english)]
    if entry and entry.get("alpha_2") in by_alpha2:
        tries.append((cat2, by_alpha2[entry["alpha_2"]]["name"]))
    if code in by_code2:
        tries.append((cat2, by_code2[code]["name"]))
    if code in by_code5:
        tries.append((cat5, by_code5[code]["name"]))
    for catalogue, name in tries:
        found = translated(catalogue, name)
        if found:
            return found
    return None


def cldr_names():
    # The Russian names of CLDR's Russian locale by language code, each
    # written with a capital as the table's names are.
    names = {}
    for element in ElementTree.parse(CLDR_RU).iter("language"):
        if element.get("alt") is None and element.text:
            names[element.get("type")] = element.text[:1].upper() + element.text[1:]
    return names


def literal(text):
    return 'u"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    lists = [load("3"), load("2"), load("5")]
    cldr = cldr_names()
    rows = [item.strip() for item in ROWS.replace("\n", " ").split(";") if item.strip()]
    lines, sources = [], {"own": 0, "iso-codes": 0, "CLDR": 0, "gaps": 0}
    for row in rows:
        code, english = row[:3], row[4:]
        for source, russian in (("own", OWN_RUSSIAN.get(code)), ("iso-codes", russian_name(code, english, lists)),
                                ("CLDR", cldr.get(code)), ("gaps", GAP_RUSSIAN.get(code))):
            if russian:
                sources[source] += 1
                break
        else:
            sys.exit("make_language_names: no Russian name for {} ({})".format(code, english))
        lines.append("{{{}, {}, {}}},".format(literal(code), literal(english), literal(russian)))
    print("// Generated by tools/language_names/make_language_names.py from the rows")
    print("// in it, Debian's iso-codes and unicode-cldr-core; do not edit.")
    print("// {code, English, Russian}.")
    print('{u"   ", u" ", u" "},')
    print("\n".join(lines))
    print("rows: {}, Russian names from {}".format(
        len(rows) + 1, ", ".join("{}: {}".format(k, v) for k, v in sources.items())), file=sys.stderr)


if __name__ == "__main__":
    main()
