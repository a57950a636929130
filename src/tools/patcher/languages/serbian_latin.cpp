#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_serbian_latin = {{
    "Srpski",
    "Ažuriranje",
    "Ovaj program će ažurirati igru na verziju $VERSION$",
    "Nastavi",
    "Izlaz",
    "Prekini",
    "Pokušaj ponovo",
    "Provera integriteta podataka nije uspela. Datoteka ažuriranja je oštećena ili nepotpuna, verovatno zbog "
    "prekinutog preuzimanja.",
    "Ažuriranje je prekinuto na zahtev korisnika. Datoteke igre nisu izmenjene.",
    "Datoteke igre nisu izmenjene. Ovo ažuriranje možete ponovo primeniti kada otklonite problem.",
    "Provera integriteta podataka...",
    "Igra nije pronađena! Moguće je da nije pravilno instalirana ili da nedostaju neke važne datoteke. Pokušajte da "
    "kopirate ovo ažuriranje u fasciklu u kojoj je igra instalirana (u njoj bi trebalo da se nalazi datoteka base.ktl) "
    "i da ga pokrenete odatle.",
    "Nepodržana verzija igre! Ovo ažuriranje ne podržava ovu verziju igre ili su datoteke igre oštećene.",
    "Provera stanja datoteka...",
    "Upozorenje: Na odredišnom disku nema dovoljno slobodnog prostora, potrebno je najmanje $SPACE$ MB.\nŽelite li "
    "ipak da nastavite?",
    "Ažuriranje je u toku! Da li zaista želite da ga prekinete?",
    "Nije moguće napraviti datoteku!",
    "Nije moguće otvoriti datoteku!",
    "Nije moguće pročitati datoteku!",
    "Nije moguće upisati datoteku! Da li je disk pun?",
    "Nije moguće premestiti ili izbrisati datoteku!",
    "Interna greška!",
    "Instalacija igre je oštećena. Pre ponovnog pokretanja ovog ažuriranja morate ponovo instalirati igru.",
    "Ažuriranje igre je uspešno završeno.",
    "Igra je već ažurirana.",
    "Ažuriranje datoteka...\nOvo može potrajati.",
    "Igra ili još jedna instanca ovog programa za ažuriranje je već pokrenuta...",
    "Nemate odgovarajuće privilegije na ovom sistemu. Prijavite se kao administrator i ponovo pokrenite ovo "
    "ažuriranje.",
    "Ipak nastavi",
    "Više informacija o ovom problemu možda ćete naći u datoteci evidencije $LOGFILE$",
    "Proverite da li imate dovoljna prava za pristup datotekama igre. Ako koristite antivirusni program, privremeno ga "
    "isključite dok traje ažuriranje.",
    "Ažuriranje nije završeno! Da li zaista želite da izađete?",
    "Ažuriranje",
    steam_unsupported_text,
}};

} // namespace orvo
