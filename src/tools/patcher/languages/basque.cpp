#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_basque = {{
    "Euskera",
    "Eguneratzea",
    "Programa honek jokoa $VERSION$ bertsiora eguneratuko du",
    "Jarraitu",
    "Irten",
    "Eten",
    "Saiatu berriro",
    "Datuen osotasunaren egiaztapenak huts egin du. Eguneratze-fitxategia hondatuta edo osatu gabe dago, agian "
    "deskarga eten egin delako.",
    "Erabiltzaileak eguneratzea eten du. Jokoaren fitxategiak ez dira aldatu.",
    "Jokoaren fitxategiak ez dira aldatu. Arazoa konpondu ondoren, eguneratze hau berriro aplika dezakezu.",
    "Datuen osotasuna egiaztatzen...",
    "Ez da jokoa aurkitu! Baliteke behar bezala instalatu ez izana edo fitxategi garrantzitsuren batzuk falta izatea. "
    "Kopiatu eguneratze hau jokoa instalatuta dagoen karpetara (base.ktl fitxategia izan beharko luke) eta exekutatu "
    "bertatik.",
    "Jokoaren bertsioa ez da onartzen! Eguneratze honek ez du zure jokoaren bertsioa onartzen, edo jokoaren "
    "fitxategiak hondatuta daude.",
    "Fitxategien egoera egiaztatzen...",
    "Abisua: ez dago behar adina leku libre helburuko diskoan; gutxienez $SPACE$ MB behar dira.\nHala ere jarraitu "
    "nahi duzu?",
    "Eguneratzea abian da! Ziur eten nahi duzula?",
    "Ezin da fitxategia sortu!",
    "Ezin da fitxategia ireki!",
    "Ezin da fitxategia irakurri!",
    "Ezin da fitxategian idatzi! Diskoa beteta al dago?",
    "Ezin da fitxategia lekuz aldatu edo ezabatu!",
    "Barne-errorea!",
    "Jokoaren instalazioa hondatuta dago. Jokoa berriro instalatu behar duzu eguneratze hau berriro exekutatu "
    "aurretik.",
    "Jokoaren eguneratzea behar bezala amaitu da.",
    "Jokoa eguneratuta dago jada.",
    "Fitxategiak eguneratzen...\nBaliteke denbora pixka bat behar izatea.",
    "Jokoaren edo eguneratzaile honen beste instantzia bat exekutatzen ari da jada...",
    "Ez duzu behar diren baimenik sistema honetan. Hasi saioa administratzaile gisa eta exekutatu berriro eguneratze "
    "hau.",
    "Jarraitu hala ere",
    "Arazo honi buruzko informazio gehiago egon daiteke erregistro-fitxategi honetan: $LOGFILE$",
    "Ziurtatu jokoaren fitxategietara sartzeko baimen nahikoak dituzula. Birusen aurkako programarik baduzu, eten "
    "ezazu eguneratze hau aplikatzen den bitartean.",
    "Eguneratzea ez da amaitu! Ziur irten nahi duzula?",
    "Eguneratzea",
    steam_unsupported_text,
}};

} // namespace orvo
