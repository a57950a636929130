#include "tools/patcher/languages/language_records.h"

namespace orvo {

const language_record_t language_italian = {{
    "Italiano",
    "aggiornamento",
    "Questo programma aggiornerà il gioco alla versione $VERSION$",
    "Continua",
    "Esci",
    "Interrompi",
    "Riprova",
    "Controllo dell'integrità dei dati non riuscito. Il file di aggiornamento è danneggiato o incompleto, forse a "
    "causa di un download interrotto.",
    "L'aggiornamento è stato interrotto su richiesta dell'utente. I file del gioco non sono stati modificati.",
    "I file del gioco non sono stati modificati. Potrai applicare di nuovo questo aggiornamento dopo aver risolto il "
    "problema.",
    "Controllo dell'integrità dei dati...",
    "Gioco non trovato! Potrebbe non essere stato installato correttamente, oppure mancano alcuni file importanti. "
    "Prova a copiare questo aggiornamento nella cartella in cui è installato il gioco (dovrebbe contenere il file "
    "base.ktl) e ad avviarlo da lì.",
    "Versione del gioco non supportata! Questo aggiornamento non supporta questa versione del gioco, oppure i file "
    "del gioco sono danneggiati.",
    "Verifica dello stato dei file...",
    "Attenzione: lo spazio libero sul disco di destinazione non è sufficiente, servono almeno $SPACE$ MB.\nVuoi "
    "continuare comunque?",
    "Aggiornamento in corso! Vuoi davvero interromperlo?",
    "Impossibile creare il file!",
    "Impossibile aprire il file!",
    "Impossibile leggere il file!",
    "Impossibile scrivere il file! Il disco è pieno?",
    "Impossibile spostare o eliminare il file!",
    "Errore interno!",
    "L'installazione del gioco è danneggiata. Devi reinstallare il gioco prima di eseguire di nuovo questo "
    "aggiornamento.",
    "L'aggiornamento del gioco è stato completato correttamente.",
    "Il gioco è già aggiornato.",
    "Aggiornamento dei file in corso...\nL'operazione potrebbe richiedere del tempo.",
    "Un'altra istanza del gioco o di questo programma di aggiornamento è già in esecuzione...",
    "Non disponi dei privilegi necessari su questo sistema. Accedi come amministratore, quindi esegui di nuovo "
    "questo aggiornamento.",
    "Continua comunque",
    "Ulteriori informazioni su questo problema potrebbero essere disponibili nel file di registro $LOGFILE$",
    "Assicurati di avere i permessi necessari per accedere ai file del gioco. Se usi un antivirus, disattivalo "
    "temporaneamente durante l'aggiornamento.",
    "L'aggiornamento non è terminato! Vuoi davvero uscire?",
    "Aggiornamento",
    steam_unsupported_text,
}};

} // namespace orvo
