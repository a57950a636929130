#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_croatian = {{
    "Hrvatski",
    "Ažuriranje",
    "Ovaj program ažurirat će igru na verziju $VERSION$",
    "Nastavi",
    "Izlaz",
    "Prekini",
    "Pokušaj ponovno",
    "Provjera cjelovitosti podataka nije uspjela. Datoteka ažuriranja oštećena je ili nepotpuna, vjerojatno zbog "
    "prekinutog preuzimanja.",
    "Ažuriranje je prekinuto na zahtjev korisnika. Datoteke igre nisu promijenjene.",
    "Datoteke igre nisu promijenjene. Nakon što riješite problem, ovo ažuriranje možete ponovno primijeniti.",
    "Provjera cjelovitosti podataka...",
    "Igra nije pronađena! Možda nije ispravno instalirana ili nedostaju neke važne datoteke. Kopirajte ovo ažuriranje "
    "u mapu u kojoj je igra instalirana (trebala bi sadržavati datoteku base.ktl) i pokrenite ga odande.",
    "Nepodržana verzija igre! Ovo ažuriranje ne podržava vašu verziju igre ili su datoteke igre oštećene.",
    "Provjera stanja datoteka...",
    "Upozorenje: na odredišnom disku nema dovoljno slobodnog prostora, potrebno je najmanje $SPACE$ MB.\nŽelite li "
    "ipak nastaviti?",
    "Ažuriranje je u tijeku! Želite li ga zaista prekinuti?",
    "Nije moguće stvoriti datoteku!",
    "Nije moguće otvoriti datoteku!",
    "Nije moguće pročitati datoteku!",
    "Nije moguće pisati u datoteku! Je li disk pun?",
    "Nije moguće premjestiti ili izbrisati datoteku!",
    "Interna pogreška!",
    "Instalacija igre je oštećena. Prije ponovnog pokretanja ovog ažuriranja morate ponovno instalirati igru.",
    "Ažuriranje igre uspješno je dovršeno.",
    "Igra je već ažurirana.",
    "Ažuriranje datoteka...\nTo bi moglo potrajati.",
    "Već je pokrenuta druga instanca igre ili ovog programa za ažuriranje...",
    "Nemate odgovarajuća prava u ovom sustavu. Prijavite se kao administrator i zatim ponovno pokrenite ovo "
    "ažuriranje.",
    "Ipak nastavi",
    "Više informacija o ovom problemu možda ćete pronaći u zapisniku $LOGFILE$",
    "Provjerite imate li dovoljna prava za pristup datotekama igre. Ako koristite antivirusni program, privremeno ga "
    "isključite dok se ovo ažuriranje primjenjuje.",
    "Ažuriranje nije dovršeno! Želite li zaista izaći?",
    "Ažuriranje",
    steam_unsupported_text,
}};

} // namespace orvo
