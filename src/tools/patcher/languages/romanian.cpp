#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_romanian = {{
    "Română",
    "actualizare",
    "Acest program va actualiza jocul la versiunea $VERSION$",
    "Continuare",
    "Ieșire",
    "Întrerupere",
    "Reîncercare",
    "Verificarea integrității datelor a eșuat. Fișierul de actualizare este deteriorat sau incomplet, posibil din "
    "cauza unei descărcări întrerupte.",
    "Actualizarea a fost întreruptă la cererea utilizatorului. Fișierele jocului nu au fost modificate.",
    "Fișierele jocului nu au fost modificate. Puteți aplica din nou această actualizare după ce remediați problema.",
    "Se verifică integritatea datelor...",
    "Jocul nu a fost găsit! Este posibil să nu fi fost instalat corect sau să lipsească unele fișiere importante. "
    "Încercați să copiați această actualizare în folderul în care este instalat jocul (acesta ar trebui să conțină "
    "fișierul base.ktl) și să o rulați de acolo.",
    "Versiune de joc neacceptată! Această actualizare nu acceptă această versiune a jocului sau fișierele jocului "
    "sunt deteriorate.",
    "Se verifică starea fișierelor...",
    "Atenție: nu există suficient spațiu liber pe discul de destinație; sunt necesari cel puțin $SPACE$ MB.\nDoriți "
    "totuși să continuați?",
    "Actualizarea este în curs! Sigur doriți să o întrerupeți?",
    "Fișierul nu poate fi creat!",
    "Fișierul nu poate fi deschis!",
    "Fișierul nu poate fi citit!",
    "Nu se poate scrie în fișier! Discul este plin?",
    "Fișierul nu poate fi mutat sau șters!",
    "Eroare internă!",
    "Instalarea jocului este deteriorată. Trebuie să reinstalați jocul înainte de a rula din nou această "
    "actualizare.",
    "Actualizarea jocului s-a încheiat cu succes.",
    "Jocul este deja actualizat.",
    "Se actualizează fișierele...\nAcest lucru poate dura ceva timp.",
    "O altă instanță a jocului sau a acestui program de actualizare rulează deja...",
    "Nu aveți privilegiile necesare pe acest sistem. Autentificați-vă ca administrator, apoi rulați din nou această "
    "actualizare.",
    "Continuare oricum",
    "Mai multe informații despre această problemă pot fi găsite în jurnalul $LOGFILE$",
    "Asigurați-vă că aveți drepturi suficiente pentru a accesa fișierele jocului. Dacă folosiți un antivirus, "
    "dezactivați-l temporar cât timp se aplică această actualizare.",
    "Actualizarea nu s-a încheiat! Sigur doriți să ieșiți?",
    "Actualizare",
    steam_unsupported_text,
}};

} // namespace orvo
