/* texts_pl.cpp -- the Polish records (Polski): the text table and the
 * resources' texts, entry for entry as the English ones in texts.cpp and
 * resource.cpp. Names (Kaltro, dCSS, EN50494+, Quattro, Legacy, Wideband,
 * the PROGRAM key), units and number formats stay as they are; the printf
 * formats keep the English ones' conversions in the same order.
 *
 * Terms: pasmo użytkownika UB (rodzaj nijaki), transponder TP, polaryzacja,
 * poziom wyjściowy, szerokość pasma, konfiguracja (konfig.), programator,
 * kaskada, odczyt (z urządzenia), wysyłanie (do urządzenia).
 */
#include "config/resource.h"

extern constexpr Texts_t StrPl[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"Nie",
    /*  3 */ L"Tak",
    /*  4 */ L"Nieznany",
    /*  5 */ L"Odczytaj konfigurację",
    /*  6 */ L"Odczytaj",
    /*  7 */ L"Odczytaj nazwę",
    /*  8 */ L"Programuj",
    /*  9 */ L"Szukaj",
    /* 10 */ L"Kaltro",
    /* 11 */ L"Nr",
    /* 12 */ L"Aktyw.",
    /* 13 */ L"Częstotl. UB",
    /* 14 */ L"Pasmo",
    /* 15 */ L"Poziom wyj.",
    /* 16 */ L"Inwersja widma",
    /* 17 */ L"Statyczne",
    /* 18 */ L"Częstotl. TP",
    /* 19 */ L"Polaryz.",
    /* 20 */ L"Wej.",
    /* 21 */ L"Stan",
    /* 22 */ L"Wersja konfig.",
    /* 23 */ L"Wersja oprogr.",
    /* 24 */ L"Temperatura układu",
    /* 25 */ L"Model",
    /* 26 */ L"Wersja firmware",
    /* 27 */ L"Wejścia",
    /* 28 */ L"Parametry dCSS",
    /* 29 */ L"Napięcie wyjściowe",
    /* 30 */ L"Nazwa konfiguracji",
    /* 31 */ L"Pasma UB nakładają się",
    /* 32 */ L"Powtórzona częstotliwość UB",
    /* 33 */ L"Poziom wyjściowy poza zakresem",
    /* 34 */ L"Częstotliwość TP poza zakresem",
    /* 35 */ L"Szer. pasma UB poza zakresem",
    /* 36 */ L"Pasmo UB poza pasmem L",
    /* 37 */ L"Częstotl. UB poza pasmem L",
    /* 38 */ L"UB nieaktywne",
    /* 39 */ L"Błąd transmisji",
    /* 40 */ L"Brak podłączonego urządzenia dCSS...",
    /* 41 */ L"Błędna liczba UB",
    /* 42 */ L"Błąd konfiguracji",
    /* 43 */ L"Nieprawidłowy plik",
    /* 44 */ L"Pusty plik...",
    /* 45 */ L"Brak odpowiedzi z Kaltro...",
    /* 46 */ L"Anuluj",
    /* 47 */ L"Nie znaleziono",
    /* 48 */ L"Zakończ",
    /* 49 */ L"Powtórz",
    /* 50 */ L"Port COM",
    /* 51 */ L"Programator",
    /* 52 */ L"Urządzenie dCSS",
    /* 53 */ L"Wybierz model",
    /* 54 */ L"EN50494+",
    /* 55 */ L"Brak nr ser.",
    /* 56 */ L"Numer seryjny",
    /* 57 */ L"Częstotl. LO [MHz]",
    /* 58 */ L"Liczba UB",
    /* 59 */ L"Wyjście",
    /* 60 */ L"Kaskada",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wideband",
    /* 63 */ L"Aktualizacja oprogramowania udana!",
    /* 64 */ L"Ustawienia urządzenia dCSS",
    /* 65 */ L"Dalej",
    /* 66 */ L"Port szeregowy",
    /* 67 */ L"Trwa wysyłanie...",
    /* 68 */ L"Trwa odczyt...",
    /* 69 */ L"Odczyt zakończony pomyślnie!",
    /* 70 */ L"Konfiguracja zaktualizowana pomyślnie!",
    /* 71 */ L"Aktualizacja oprogramowania",
    /* 72 */ L"Rozpoczęto transmisję...",
    /* 73 */ L"Weryfikacja...",
    /* 74 */ L"Ustawienia Kaltro",
    /* 75 */ L"Wyślij konfig. do Kaltro",
    /* 76 */
    L"Ta funkcja wysyła konfigurację do pamięci wewnętrznej Kaltro, aby później programować nią "
    L"urządzenia dCSS. Po naciśnięciu przycisku PROGRAM na Kaltro urządzenie dCSS zostanie "
    L"zaprogramowane (bez użycia laptopa lub tabletu).",
    /* 77 */ L"Plik już istnieje!\nCzy chcesz go zastąpić?",
    /* 78 */ L"Komunikat pliku",
    /* 79 */ L"Wykryj urządzenie dCSS",
    /* 80 */ L"Niewłaściwe urządzenie dCSS",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"Brak miejsca na kolejne UB",
    /* 85 */
    L"Nie można otworzyć portu szeregowego %ls: brak uprawnień.\n\nTylko członkowie grupy „%ls” "
    L"mogą go używać. Dodaj do niej swojego użytkownika poleceniem\n\n    sudo usermod -aG %ls "
    L"$USER\n\na następnie wyloguj się i zaloguj ponownie.",
    /* 86 */
    L"Port szeregowy %ls jest używany przez inny program.\n\nZamknij ten program i spróbuj "
    L"ponownie.",
    /* 87 */
    L"Port szeregowy %ls jest używany przez inny program (%ls, proces %d).\n\nZamknij ten program "
    L"i spróbuj ponownie.",
    /* 88 */ L"%ls nie jest portem szeregowym.\n\nWybierz inny numer portu.",
    /* 89 */
    L"Port szeregowy %ls odrzucił ustawienia linii (115200 bodów, 8 bitów danych, bez parzystości, "
    L"1 bit stopu): %ls.",
    /* 90 */ L"Nie można zapisać pliku %ls: %ls.\n\nPlik na dysku pozostał bez zmian.",
    /* 91 */ L"Nie można odczytać pliku %ls: %ls.",
    /* 92 */
    L"Nie można otworzyć portu szeregowego %ls: odmowa dostępu.\n\nls -l pokazuje go jako %ls: "
    L"żadna grupa, do której można dołączyć, nie ma prawa odczytu i zapisu. Administrator może "
    L"przekazać go grupie %ls poleceniem\n\n    %ls\n\na następnie dodać użytkownika do tej "
    L"grupy; potem wyloguj się i zaloguj ponownie.",
    /* 93 */
    L"Nie można otworzyć portu szeregowego %ls: odmowa dostępu.\n\nls -l pokazuje go jako %ls: "
    L"żadna grupa, do której można dołączyć, nie ma prawa odczytu i zapisu. Administrator może "
    L"przekazać ten adapter USB grupie %ls regułą udev, wierszem\n\n    %ls\n\nw pliku w "
    L"/etc/udev/rules.d, np. 60-brevant-serial.rules; następnie podłącz adapter ponownie, dodaj "
    L"użytkownika do tej grupy, wyloguj się i zaloguj ponownie.",
    /* 94 */ L"Nie można zapisać pliku %ls: %ls.",
    /* 95 */ L"Weryfikacja...",
    /* 96 */ L"Zweryfikowano",
    /* 97 */ L"Weryfikacja nie powiodła się",
    /* 98 */ L"Porównaj z urządzeniem...",
    /* 99 */ L"Weryfikuj po programowaniu",
    /* 100 */ L"Produkcja...",
    /* 101 */ L"Porównaj z urządzeniem",
    /* 102 */ L"Urządzenie zawiera tę tabelę.",
    /* 103 */ L"UB %d: %ls %ls tutaj, %ls w urządzeniu",
    /* 104 */ L"UB %d: brak w urządzeniu",
    /* 105 */ L"%ls %ls tutaj, %ls w urządzeniu",
    /* 106 */ L"Przejmij tabelę urządzenia",
    /* 107 */ L"Zamknij",
    /* 108 */ L"Produkcja",
    /* 109 */ L"Plik dziennika:",
    /* 110 */ L"Wybierz...",
    /* 111 */ L"Start",
    /* 112 */ L"Stop",
    /* 113 */ L"Kaltro nie odpowiada",
    /* 114 */ L"Oczekiwanie na urządzenie",
    /* 115 */ L"Programowanie %d %%",
    /* 116 */ L"Weryfikacja %d %%",
    /* 117 */ L"OK %ls",
    /* 118 */ L"BŁĄD %ls: %ls",
    /* 119 */ L"%ls gotowe: odłącz je",
    /* 120 */ L"Zatrzymano",
    /* 121 */ L"Udane %ld    Błędy %ld    %ld urządzeń na godzinę",
    /* 122 */ L"Ostatnie urządzenia",
    /* 123 */ L"Najpierw wybierz plik dziennika.",
    /* 124 */ L"Nie można zapisać dziennika %ls: %ls.\n\nProdukcja została zatrzymana.",
    /* 125 */ L"programowanie nieudane",
    /* 126 */ L"zły model",
    /* 127 */ L"utracono urządzenie",
    /* 128 */ L"anulowano",
    /* 129 */ L"Tabela: %ls, %d UB, wersja konfig. %ls",
    /* 130 */ L"brak numeru seryjnego",
}}};
static_assert(TXT_Complete(StrPl[0].Text), "the Polish record lacks texts");

extern constexpr ResTexts_t ResPl[] = {{{
    /*  0 */ L"Brevant firmy Halvorn Int. v." BREVANT_VERSION,
    /*  1 */ L"Plik",
    /*  2 */ L"Otwórz plik...",
    /*  3 */ L"Zapisz plik...",
    /*  4 */ L"Eksportuj...",
    /*  5 */ L"Resetuj tabelę...",
    /*  6 */ L"Zakończ...",
    /*  7 */ L"Ustawienia...",
    /*  8 */ L"Aktualizacja oprogramowania...",
    /*  9 */ L"Wykryj urządzenie dCSS...",
    /* 10 */ L"Zapisz konfig. w Kaltro...",
    /* 11 */ L"Język",
    /* 12 */ L"Język systemu",
    /* 13 */ L"Pomoc",
    /* 14 */ L"O programie...",
    /* 15 */ L"O programie Brevant",
    /* 16 */ L"Rozłącz",
    /* 17 */ L"Kalkulator UB",
}}};
static_assert(TXT_Complete(ResPl[0].Text), "the Polish resources lack texts");
