/* texts_it.cpp -- the Italian records (Italiano): the text table and the
 * resources' texts, entry for entry as the English ones in texts.cpp and
 * resource.cpp. Names (Kaltro, dCSS, EN50494+, Quattro, Legacy, Wideband,
 * the PROGRAM key), units and number formats stay as they are; the printf
 * formats keep the English ones' conversions in the same order.
 *
 * Terms: banda utente UB (femminile), transponder TP, polarità, livello di
 * uscita, banda, configurazione (config.), programmatore, cascata, leggere
 * (dal dispositivo), inviare (al dispositivo), forma impersonale.
 */
#include "config/resource.h"

extern constexpr Texts_t StrIt[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"No",
    /*  3 */ L"Sì",
    /*  4 */ L"Sconosciuto",
    /*  5 */ L"Leggi configurazione",
    /*  6 */ L"Leggi",
    /*  7 */ L"Leggi nome",
    /*  8 */ L"Programma",
    /*  9 */ L"Cerca",
    /* 10 */ L"Kaltro",
    /* 11 */ L"N.",
    /* 12 */ L"Attiva",
    /* 13 */ L"Frequenza UB",
    /* 14 */ L"Banda",
    /* 15 */ L"Livello usc.",
    /* 16 */ L"Inversione spettrale",
    /* 17 */ L"Statica",
    /* 18 */ L"Frequenza TP",
    /* 19 */ L"Polarità",
    /* 20 */ L"Ingr.",
    /* 21 */ L"Stato",
    /* 22 */ L"Versione config.",
    /* 23 */ L"Versione software",
    /* 24 */ L"Temperatura IC",
    /* 25 */ L"Modello",
    /* 26 */ L"Versione firmware",
    /* 27 */ L"Ingressi",
    /* 28 */ L"Parametri dCSS",
    /* 29 */ L"Tensione di uscita",
    /* 30 */ L"Nome configurazione",
    /* 31 */ L"Bande UB sovrapposte",
    /* 32 */ L"Frequenza UB duplicata",
    /* 33 */ L"Livello di uscita fuori limiti",
    /* 34 */ L"Frequenza TP fuori limiti",
    /* 35 */ L"Banda UB fuori limiti",
    /* 36 */ L"Banda UB oltre la banda L",
    /* 37 */ L"Freq. UB oltre la banda L",
    /* 38 */ L"UB inattiva",
    /* 39 */ L"Errore di trasmissione",
    /* 40 */ L"Nessun dispositivo dCSS collegato...",
    /* 41 */ L"Numero di UB errato",
    /* 42 */ L"Errore di configurazione",
    /* 43 */ L"File errato",
    /* 44 */ L"File vuoto...",
    /* 45 */ L"Nessuna risposta dal Kaltro...",
    /* 46 */ L"Annulla",
    /* 47 */ L"Non trovato",
    /* 48 */ L"Esci",
    /* 49 */ L"Ripeti",
    /* 50 */ L"Porta COM",
    /* 51 */ L"Programmatore",
    /* 52 */ L"Dispositivo dCSS",
    /* 53 */ L"Seleziona modello",
    /* 54 */ L"EN50494+",
    /* 55 */ L"Senza S/N",
    /* 56 */ L"Numero di serie",
    /* 57 */ L"Frequenze OL [MHz]",
    /* 58 */ L"Numero di UB",
    /* 59 */ L"Uscita",
    /* 60 */ L"Cascata",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wideband",
    /* 63 */ L"Aggiornamento software riuscito!",
    /* 64 */ L"Impostazioni dispositivo dCSS",
    /* 65 */ L"Continua",
    /* 66 */ L"Porta seriale",
    /* 67 */ L"Invio in corso...",
    /* 68 */ L"Lettura in corso...",
    /* 69 */ L"Lettura completata con successo!",
    /* 70 */ L"Configurazione aggiornata con successo!",
    /* 71 */ L"Aggiornamento software",
    /* 72 */ L"Trasmissione avviata...",
    /* 73 */ L"Verifica...",
    /* 74 */ L"Impostazioni Kaltro",
    /* 75 */ L"Invia config. al Kaltro",
    /* 76 */
    L"Questa funzione invia una configurazione alla memoria interna del Kaltro per programmare in "
    L"seguito i dispositivi dCSS. Premendo il tasto PROGRAM sul Kaltro il dispositivo dCSS viene "
    L"programmato (senza computer portatile o tablet).",
    /* 77 */ L"Il file esiste già!\nSovrascriverlo?",
    /* 78 */ L"Messaggio file",
    /* 79 */ L"Rileva dispositivo dCSS",
    /* 80 */ L"Dispositivo dCSS errato",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"Spazio per le UB esaurito",
    /* 85 */
    L"Impossibile aprire la porta seriale %ls: permesso negato.\n\nSolo i membri del gruppo "
    L"\"%ls\" possono usarla. Aggiungere il proprio utente con\n\n    sudo usermod -aG %ls "
    L"$USER\n\nquindi uscire dalla sessione e rientrare.",
    /* 86 */
    L"La porta seriale %ls è usata da un altro programma.\n\nChiudere quel programma e riprovare.",
    /* 87 */
    L"La porta seriale %ls è usata da un altro programma (%ls, processo %d).\n\nChiudere quel "
    L"programma e riprovare.",
    /* 88 */ L"%ls non è una porta seriale.\n\nScegliere un altro numero di porta.",
    /* 89 */
    L"La porta seriale %ls ha rifiutato le impostazioni di linea (115200 baud, 8 bit di dati, "
    L"nessuna parità, 1 bit di stop): %ls.",
    /* 90 */ L"Impossibile salvare il file %ls: %ls.\n\nIl file sul disco non è stato modificato.",
    /* 91 */ L"Impossibile leggere il file %ls: %ls.",
    /* 92 */
    L"Impossibile aprire la porta seriale %ls: permesso negato.\n\nls -l la mostra come %ls: "
    L"nessun gruppo a cui potresti unirti può leggerla e scriverla. Un amministratore può "
    L"assegnarla al gruppo %ls con\n\n    %ls\n\npoi aggiungi il tuo utente a quel gruppo, "
    L"esci dalla sessione e accedi di nuovo.",
    /* 93 */
    L"Impossibile aprire la porta seriale %ls: permesso negato.\n\nls -l la mostra come %ls: "
    L"nessun gruppo a cui potresti unirti può leggerla e scriverla. Un amministratore può "
    L"assegnare questo adattatore USB al gruppo %ls con una regola udev, la riga\n\n    %ls\n\n"
    L"in un file di /etc/udev/rules.d come 60-brevant-serial.rules; poi ricollega "
    L"l'adattatore, aggiungi il tuo utente a quel gruppo, esci dalla sessione e accedi di "
    L"nuovo.",
    /* 94 */ L"Impossibile salvare il file %ls: %ls.",
    /* 95 */ L"Verifica in corso...",
    /* 96 */ L"Verificato",
    /* 97 */ L"Verifica non riuscita",
    /* 98 */ L"Confronta con il dispositivo...",
    /* 99 */ L"Verifica dopo la programmazione",
    /* 100 */ L"Produzione...",
    /* 101 */ L"Confronta con il dispositivo",
    /* 102 */ L"Il dispositivo contiene questa tabella.",
    /* 103 */ L"UB %d: %ls %ls qui, %ls nel dispositivo",
    /* 104 */ L"UB %d: assente nel dispositivo",
    /* 105 */ L"%ls %ls qui, %ls nel dispositivo",
    /* 106 */ L"Usa la tabella del dispositivo",
    /* 107 */ L"Chiudi",
    /* 108 */ L"Produzione",
    /* 109 */ L"File di registro:",
    /* 110 */ L"Scegli...",
    /* 111 */ L"Avvia",
    /* 112 */ L"Ferma",
    /* 113 */ L"Il Kaltro non risponde",
    /* 114 */ L"In attesa di un dispositivo",
    /* 115 */ L"Programmazione %d %%",
    /* 116 */ L"Verifica %d %%",
    /* 117 */ L"OK %ls",
    /* 118 */ L"ERRORE %ls: %ls",
    /* 119 */ L"%ls è pronto: rimuoverlo",
    /* 120 */ L"Fermato",
    /* 121 */ L"Riusciti %ld    Falliti %ld    %ld dispositivi all'ora",
    /* 122 */ L"Ultimi dispositivi",
    /* 123 */ L"Scegliere prima un file di registro.",
    /* 124 */ L"Impossibile scrivere il registro %ls: %ls.\n\nLa produzione è stata fermata.",
    /* 125 */ L"programmazione non riuscita",
    /* 126 */ L"modello errato",
    /* 127 */ L"dispositivo perso",
    /* 128 */ L"annullato",
    /* 129 */ L"Tabella: %ls, %d UB, versione config. %ls",
    /* 130 */ L"senza numero di serie",
    /* 131 */ L"Il dispositivo contiene un'altra tabella:",
}}};
static_assert(TXT_Complete(StrIt[0].Text), "the Italian record lacks texts");

extern constexpr ResTexts_t ResIt[] = {{{
    /*  0 */ L"Brevant di Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"File",
    /*  2 */ L"Apri file...",
    /*  3 */ L"Salva file...",
    /*  4 */ L"Esporta...",
    /*  5 */ L"Reimposta tabella...",
    /*  6 */ L"Esci...",
    /*  7 */ L"Impostazioni...",
    /*  8 */ L"Aggiornamento software...",
    /*  9 */ L"Rileva dispositivo dCSS...",
    /* 10 */ L"Salva config. nel Kaltro...",
    /* 11 */ L"Lingua",
    /* 12 */ L"Lingua di sistema",
    /* 13 */ L"Aiuto",
    /* 14 */ L"Informazioni...",
    /* 15 */ L"Informazioni su Brevant",
    /* 16 */ L"Disconnetti",
    /* 17 */ L"Calcolatore UB",
}}};
static_assert(TXT_Complete(ResIt[0].Text), "the Italian resources lack texts");
