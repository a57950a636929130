#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_slovenian = {{
    "Slovenščina",
    "Posodobitev",
    "Ta program bo igro posodobil na različico $VERSION$",
    "Nadaljuj",
    "Izhod",
    "Prekini",
    "Poskusi znova",
    "Preverjanje celovitosti podatkov ni uspelo. Datoteka s posodobitvijo je poškodovana ali nepopolna, morda zaradi "
    "prekinjenega prenosa.",
    "Posodabljanje je bilo prekinjeno na zahtevo uporabnika. Datoteke igre niso bile spremenjene.",
    "Datoteke igre niso bile spremenjene. Ko odpravite težavo, lahko to posodobitev znova namestite.",
    "Preverjanje celovitosti podatkov ...",
    "Igre ni mogoče najti! Morda ni bila pravilno nameščena ali pa manjkajo pomembne datoteke. To posodobitev "
    "poskusite kopirati v mapo, v kateri je igra nameščena (vsebovati mora datoteko base.ktl), in jo od tam zagnati.",
    "Nepodprta različica igre! Ta posodobitev ne podpira te različice igre ali pa so datoteke igre poškodovane.",
    "Preverjanje stanja datotek ...",
    "Opozorilo: Na ciljnem disku ni dovolj prostega prostora, potrebnih je vsaj $SPACE$ MB.\nAli želite vseeno "
    "nadaljevati?",
    "Posodabljanje poteka! Ali ga res želite prekiniti?",
    "Datoteke ni mogoče ustvariti!",
    "Datoteke ni mogoče odpreti!",
    "Datoteke ni mogoče prebrati!",
    "Datoteke ni mogoče zapisati! Je disk morda poln?",
    "Datoteke ni mogoče premakniti ali izbrisati!",
    "Notranja napaka!",
    "Namestitev igre je poškodovana. Preden znova zaženete to posodobitev, morate igro znova namestiti.",
    "Igra je bila uspešno posodobljena.",
    "Igra je že posodobljena.",
    "Posodabljanje datotek ...\nTo lahko traja nekaj časa.",
    "Igra ali drug primerek tega programa za posodabljanje se že izvaja ...",
    "V tem sistemu nimate ustreznih pravic. Prijavite se kot skrbnik in znova zaženite to posodobitev.",
    "Vseeno nadaljuj",
    "Več informacij o tej težavi je morda na voljo v dnevniku $LOGFILE$",
    "Prepričajte se, da imate zadostne pravice za dostop do datotek igre. Če uporabljate protivirusni program, ga med "
    "nameščanjem posodobitve začasno izklopite.",
    "Posodobitev še ni dokončana! Ali res želite končati?",
    "Posodobitev",
    steam_unsupported_text,
}};

} // namespace orvo
