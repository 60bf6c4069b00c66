#!/usr/bin/env python3
# Writes dictionary/language_name_rows.inc, the rows of LanguageNameTable:
# ISO 639-3 code, English name and Russian name of every language a source
# file may name. Codes and English names are ours (below); Russian names come
# from Debian's iso-codes package (its ISO 639 JSON lists and their Russian
# message catalogues), except the few names of our own that win over them.
# Run once by hand when the rows change; the output is committed:
#   python3 tools/language_names/make_language_names.py > dictionary/language_name_rows.inc
import gettext
import json
import sys

ISO_JSON = "/usr/share/iso-codes/json/iso_639-{}.json"
ISO_MO = "/usr/share/locale/ru/LC_MESSAGES/iso_639-{}.mo"

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

# Our own Russian names; they win over iso-codes (the blank after the Greek
# name is part of it).
OWN_RUSSIAN = {
    "jpn": "Японский",
    "rus": "Русский",
    "eng": "Английский",
    "lat": "Латинский",
    "cmn": "Китайский",
    "heb": "Иврит",
    "ell": "Греческий ",
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


def literal(text):
    return 'u"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    lists = [load("3"), load("2"), load("5")]
    rows = [item.strip() for item in ROWS.replace("\n", " ").split(";") if item.strip()]
    untranslated = 0
    print("// Generated by tools/language_names/make_language_names.py from the rows")
    print("// in it and Debian's iso-codes; do not edit. {code, English, Russian};")
    print("// a language iso-codes has no Russian name for keeps its English one.")
    print('{u"   ", u" ", u" "},')
    for row in rows:
        code, english = row[:3], row[4:]
        russian = OWN_RUSSIAN.get(code) or russian_name(code, english, lists)
        if not russian:
            russian = english
            untranslated += 1
        print("{{{}, {}, {}}},".format(literal(code), literal(english), literal(russian)))
    print("rows: {}, Russian names missing from iso-codes: {}".format(len(rows) + 1, untranslated),
          file=sys.stderr)


if __name__ == "__main__":
    main()
