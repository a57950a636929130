#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_estonian = {{
    "Eesti",
    "Uuendus",
    "See programm uuendab mängu versioonile $VERSION$",
    "Jätka",
    "Välju",
    "Katkesta",
    "Proovi uuesti",
    "Andmete terviklikkuse kontroll nurjus. Uuendusfail on vigane või puudulik, tõenäoliselt katkenud allalaadimise "
    "tõttu.",
    "Kasutaja katkestas uuendamise. Mängu faile ei muudetud.",
    "Mängu faile ei muudetud. Pärast probleemi lahendamist saate selle uuenduse uuesti rakendada.",
    "Andmete terviklikkuse kontroll...",
    "Mängu ei leitud! Võimalik, et see pole korralikult installitud või mõned olulised failid puuduvad. Kopeerige see "
    "uuendus kausta, kuhu mäng on installitud (seal peaks olema fail base.ktl), ja käivitage see sealt.",
    "Toetamata mänguversioon! See uuendus ei toeta teie mänguversiooni või on mängu failid vigased.",
    "Failide seisukorra kontrollimine...",
    "Hoiatus: sihtkettal pole piisavalt vaba ruumi, vaja on vähemalt $SPACE$ MB.\nKas soovite siiski jätkata?",
    "Uuendamine on pooleli! Kas soovite selle tõesti katkestada?",
    "Faili ei saa luua!",
    "Faili ei saa avada!",
    "Faili ei saa lugeda!",
    "Faili ei saa kirjutada! Kas ketas on täis?",
    "Faili ei saa teisaldada ega kustutada!",
    "Sisemine viga!",
    "Mängu installatsioon on vigane. Enne selle uuenduse uuesti käivitamist peate mängu uuesti installima.",
    "Mäng on edukalt uuendatud.",
    "Mäng on juba ajakohane.",
    "Failide uuendamine...\nSee võib võtta veidi aega.",
    "Mängu või selle uuendaja teine eksemplar juba töötab...",
    "Teil pole selles süsteemis vajalikke õigusi. Logige sisse administraatorina ja käivitage see uuendus uuesti.",
    "Jätka siiski",
    "Lisateavet selle probleemi kohta võib leida logifailist $LOGFILE$",
    "Veenduge, et teil on mängu failidele juurdepääsuks piisavad õigused. Kui kasutate viirusetõrjet, peatage see "
    "selle uuenduse rakendamise ajaks.",
    "Uuendamine pole lõpetatud! Kas soovite tõesti väljuda?",
    "Uuendus",
    steam_unsupported_text,
}};

} // namespace orvo
