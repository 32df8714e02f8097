#pragma once

// The ids of the texts the program keeps for its own use (message boxes, memos, the report, hints, fixed
// text fields), each with its built-in Polish text. Code asks the message store for a text by one of these
// names, never by a bare number, so a mistyped id fails to compile instead of showing an empty text.

namespace sequaflow::i18n::msg {

// Connection.
inline constexpr int PortAlreadyOpen = 10080;             // "Port juz otwarty"
inline constexpr int NoController = 10081;                // "brak sterownika"
inline constexpr int PortBusy = 10082;                    // "Port zajęty"

// Readings and fuel switch.
inline constexpr int StatusHeading = 10114;               // "Status"
inline constexpr int Petrol = 10122;                      // "Benzyna"
inline constexpr int Gas = 10123;                         // "Gaz"

// Auto-adaptation.
inline constexpr int AdaptationIntro = 10501;             // "Włącz odbiorniki w aucie takie jak: nadmuch powietrza, św…"
inline constexpr int AdaptationPumpPedal = 10502;         // "Wciskaj gwałtownie i puszczaj pedał gazu. Powtarzaj tą cz…"
inline constexpr int AdaptationHoldSpeed = 10503;         // "Ustaw obroty silnika pomiędzy 2500-2700 obr/min i nie zmi…"
inline constexpr int AdaptationFinished = 10504;          // "Autoadaptacja została zakończona"
inline constexpr int SwitchToPetrol = 10505;              // "Przełącz na benzynę"
inline constexpr int SwitchToGas = 10506;                 // "Przełącz na gaz"
inline constexpr int Start = 10512;                       // "START"
inline constexpr int Abort = 10513;                       // "PRZERWIJ"
inline constexpr int TemperatureReached = 10523;          // "Osiągnięto temperaturę"
inline constexpr int RaiseSpeed = 10524;                  // "Proszę zwiększyć obroty powyżej 1500"
inline constexpr int WaitForReducer = 10525;              // "Czekaj aż reduktor osiągnie 50 Stopni Celsjusza"
inline constexpr int NozzlesTooSmall = 10526;             // "prawdopodoponie zbyt małe dysze, lub zle wykonana autoada…"
inline constexpr int NozzlesTooLarge = 10527;             // "prawdopodoponie zbyt duże dysze, lub zle wykonana autoada…"
inline constexpr int StayBelowSpeed = 10528;              // "pamietaj nie przekraczaj 4000 obrotow"
inline constexpr int RememberPedal = 10529;               // "pamietaj aby wciskac 'pedal gazu'"
inline constexpr int SameForceOnBothFuels = 10530;        // "z taka sama sila na gazie i benzynie"
inline constexpr int AdaptationSucceeded = 10531;         // "Autoadaptacja została pomyslnie zakończona"

// Injector test.
inline constexpr int InjectorOn = 10601;                  // "Włączony"
inline constexpr int InjectorOff = 10602;                 // "Wyłączony"
inline constexpr int InjectorsWarning = 10606;            // "Uwaga wtryskiwacz(e)"
inline constexpr int InjectorsSwitchedOff = 10607;        // "zostały wyłączone, kontynuować"

// Parameter descriptions.
inline constexpr int HelpInjectorType = 11000;            // "Wybór rodzaju wtryskiwacza gazowego. Możliwa jest własna…"
inline constexpr int HelpIgnition = 11001;                // "Wybór układu zapłonowego. Należy tak dobrać układ zapłono…"
inline constexpr int HelpMaxGasTime = 11002;              // "Maksymalny czas wtrysku gazowego. Maksymalny czas wtrysku…"
inline constexpr int HelpMinGasOpening = 11003;           // "Minimalne otwarcie wtryskiwacza gazowego. Najmniejszy cza…"
inline constexpr int HelpSwitchTemperature = 11004;       // "Minimalna Temperatura reduktora, przy której następuje pr…"
inline constexpr int HelpSwitchSpeed = 11005;             // "Próg obrotów silnika dla przejscia na zasilanie gazowe. P…"
inline constexpr int HelpCommonCycles = 11006;            // "Wspólne cykle: Liczba wspólnych wtrysków benzyny + gazu w…"
inline constexpr int HelpMixtureCorrection = 11007;       // "Procentowa korekta czasu wtrysku gazu względem wtrysku be…"
inline constexpr int HelpIdleCorrection = 11008;          // "Bezpośrednia korekcja czasu wtrysku gazu na biegu jałowym…"
inline constexpr int HelpSpeedLimit = 11009;              // "Próg obrotów dla funkcji maksymalne obroty silnika  [obr/…"
inline constexpr int HelpSpeedLimitOn = 11010;            // "Włączenie/wyłączenie maksymalnych obrotów silnika dla pra…"
inline constexpr int HelpTankSensor = 11011;              // "Wybierz z listy rodzaj sensora rezerwy lub dokonaj ręczne…"
inline constexpr int HelpTankRefresh = 11012;             // "Czas uaktualniania wskazania poziomu gazu na zbiorniku. W…"
inline constexpr int HelpLambda1 = 11013;                 // "Rodzaj sondy lambda 1, jeśli jest podłączona - nie jest k…"
inline constexpr int HelpLambda2 = 11014;                 // "Rodzaj sondy lambda 2, jeśli jest podłączona - nie jest k…"
inline constexpr int HelpMapMode = 11015;                 // "Sposób tworzenia mapy wtrysku: bez mapy, mapa obciążenie…"
inline constexpr int HelpTurbo = 11016;                   // "Ustawienie samochodu z turbiną."
inline constexpr int HelpSpeedSignalLevel = 11017;        // "Wybierz 12v albo 5 v"
inline constexpr int HelpReducerVacuum = 11020;           // "System może pracować z podłączonym lub odłączonym podciśn…"
inline constexpr int HelpPetrolInjectionType = 11021;     // "Wybierz rodzaj wtrysku benzyny"
inline constexpr int HelpReturnPressure = 11022;          // "Ciśnienie gazu, poniżej którego następuje powrót do zasil…"
inline constexpr int HelpReturnDelay = 11023;             // "Opóźnienie powrotu do zasilania benzyną, po spadku ciśnie…"
inline constexpr int HelpBuzzerPressure = 11024;          // "Ciśnienie gazu, poniżej którego włącza się sygnał dźwięko…"
inline constexpr int HelpInjectorHeating = 11025;         // "Włączenie rozgrzewania wtryskiwaczy powoduje załączenie w…"
inline constexpr int HelpHeatingStrength = 11026;         // "Wybór natężenia i dlugości trwania impulsu rozgrzewająceg…"
inline constexpr int HelpGasOnDelay = 11027;              // "Czas od momentu załączenia wielozaworu na butli oraz Elek…"
inline constexpr int HelpInjectionDelay = 11030;          // "Czas opóźnienia załączenia wtrysku benzynowego do gazoweg…"
inline constexpr int HelpInjectorControl = 11031;         // "Włączenie/wyłączenie parametrów sterowania wtryskami gazo…"
inline constexpr int HelpPressureFilter = 11032;          // "Poziom filtrowania wizualizacji ciśnienia. Włącz jeśli ws…"
inline constexpr int HelpControlAlgorithm = 11033;        // "Rodzaj algorytmu sterowania: 1. Przewidywanie sekwencji.…"
inline constexpr int HelpFullCurrentTime = 11034;         // "Przez ten czas płynie maksymalny prąd przez wtryskiwacz g…"
inline constexpr int HelpHoldingCurrent = 11035;          // "Procentowy prąd podtrzymujący cewkę wtryskiwacza - typowo…"
inline constexpr int HelpSwitchingMode = 11036;           // "Wybierz tryb przełączenia pomiędzy benzyną a gazem. Tryb…"
inline constexpr int HelpGasCutoff = 11037;               // "Ustaw poziom temperatury gazu, poniżej którego nastąpi pr…"
inline constexpr int HelpReducerCutoff = 11038;           // "Ustaw poziom temperatury reduktora, poniżej którego nastą…"
inline constexpr int HelpSwitchBuzzer = 11039;            // "Włącz/Wyłącz sygnał dźwiękowy (buzzer) dla zmiany zasilan…"
inline constexpr int HelpSpeedSignalFilter = 11040;       // "Zwiększaj wartość jeśli wskazanie obrotów jest zakłócane…"
inline constexpr int HelpPetrolSignalFilter = 11041;      // "Zwiększaj wartość jeśli wskazanie czasów pracy wtryskiwac…"
inline constexpr int HelpSpeedDrop = 11042;               // "Wielkość spadku obrotów dla przełączania benzynę-gaz w tr…"
inline constexpr int ChooseParameter = 11043;             // "Wybierz parametr aby zobaczyć jego opis."

// Lambda and temperature correction descriptions.
inline constexpr int LambdaHelpUpperThreshold = 11100;    // "Opis Reakcja na lambda - prog gorny"
inline constexpr int LambdaHelpLowerThreshold = 11101;    // "Opis Reakcja na lambda - prog dolny"
inline constexpr int LambdaHelpRiseUp = 11102;            // "Opis Szybkosc narastania - gora"
inline constexpr int LambdaHelpRiseDown = 11103;          // "Opis Szybkosc narastania - dol"
inline constexpr int LambdaHelpDurationUp = 11104;        // "Opis Czas trwania korekty - gora"
inline constexpr int LambdaHelpDurationDown = 11105;      // "Opis Czas trwania korekty - dol"
inline constexpr int LambdaHelpCorrectionMax = 11106;     // "Opis Maksimum i min korekty - max"
inline constexpr int LambdaHelpCorrectionMin = 11107;     // "Opis Maksimum i min korekty - min"
inline constexpr int LambdaHelpLoadMax = 11108;           // "Opis Obciazenie - max"
inline constexpr int LambdaHelpLoadMin = 11109;           // "Opis Obciazenie - min"
inline constexpr int LambdaHelpSpeedMax = 11110;          // "Opis Obr/min - max"
inline constexpr int LambdaHelpSpeedMin = 11111;          // "Opis Obr/min - min"
inline constexpr int LambdaHelpInertiaFilter = 11112;     // "Opis Filtr inercyjny"
inline constexpr int LambdaHelpLambdaOk = 11113;          // "Opis Lambda ok"
inline constexpr int LambdaHelpSlowProbe = 11114;         // "Opis wolnozmienna "
inline constexpr int LambdaHelpSpeedLimits = 11115;       // "Opis Ograniczenia RPM"
inline constexpr int LambdaHelpInjectionLimits = 11116;   // "Opis Ograniczenia od wtrysku"
inline constexpr int LambdaHelpTemperatureMap = 11117;    // "Opis ParComboBoxMapaTemp"
inline constexpr int LambdaHelpTemperatureRange = 11118;  // "Opis Zakres temperatur"

// General.
inline constexpr int FileError = 12000;                   // "Nie można wykonać operacji na pliku"
inline constexpr int SettingsResetQuestion = 12001;       // "Czy dokonać resetu ustawień?"
inline constexpr int SettingsResetTitle = 12002;          // "Reset Ustawień"
inline constexpr int AutoConnectHint = 12003;             // "Automatyczne wyszukiwanie sterownika na portach COM1-COM2…"
inline constexpr int FillAllFields = 12004;               // "Proszę wypełnić wszystkie pola"

// Error indication and error list (fixed fields: Fault .. ErrorsPresent, NoErrors).
inline constexpr int Fault = 12050;                       // "Błąd"
inline constexpr int Healthy = 12051;                     // "Sprawny"
inline constexpr int ComError = 12052;                    // "Com błąd"
inline constexpr int EcuError = 12053;                    // "ECU błąd"
inline constexpr int ErrorsPresent = 12054;               // "Wystąpiły Błędy ! :"
inline constexpr int StoredErrors = 12055;                // "Stare Zapamiętane BŁĘDY:"
inline constexpr int NoErrors = 12056;                    // "Brak Błędów"
inline constexpr int FaultPressureLow = 12057;            // "1: Za niskie cisnienie reduktora lub pusty zbiornik"
inline constexpr int FaultPressureHigh = 12058;           // "2: Za wysokie cisnienie reduktora"
inline constexpr int FaultPressureSensorShorted = 12059;  // "3: Czujnik cisnienia zwarty do masy"
inline constexpr int FaultPressureSensorOpen = 12060;     // "4: Czujnik cisnienie odłączony lub wysokie cisnienie redu…"
inline constexpr int FaultReducerSensorShorted = 12061;   // "5: Czujnik temp. reduktora zwarty"
inline constexpr int FaultReducerSensorOpen = 12062;      // "6: Czujnik temperatury reduktora rozwarty"
inline constexpr int FaultGasSensorShorted = 12063;       // "7: Czujnik temperatury LPG zwarty"
inline constexpr int FaultGasSensorOpen = 12064;          // "8: Czujnik temperatury LPG rozwarty"
inline constexpr int FaultGasTooCold = 12065;             // "9: Zbyt niska temperatura gazu"
inline constexpr int FaultReducerTooCold = 12066;         // "10: Zbyt niska temperatura reduktora"
inline constexpr int FaultGasInjector = 12067;            // "11: Wtryskiwacz Gazowy Uszkodzony:"
inline constexpr int FaultPetrolInjector = 12068;         // "12: Wtryskiwacz Benzynowy Uszkodzony:"
inline constexpr int FaultNoPetrolSignal = 12069;         // "12: Brak Sygnału wtryskiwacza Benzynowego:"

// Work time.
inline constexpr int PetrolWorkTime = 12080;              // "Czas pracy na benzynie:"
inline constexpr int Days = 12081;                        // "Doby:"
inline constexpr int Hours = 12082;                       // "Godziny:"
inline constexpr int Minutes = 12083;                     // "Minuty:"
inline constexpr int Seconds = 12084;                     // "Sekundy:"
inline constexpr int GasTimePercent = 12085;              // "Procentowy czas pracy na gazie:"
inline constexpr int PetrolTimePercent = 12086;           // "Procentowy czas pracy na benzynie:"

// Configuration report.
inline constexpr int ReportHardware = 12100;              // "Konfiguracja sprzętowa:"
inline constexpr int ReportProgramVersion = 12101;        // "Wersja programu PC:"
inline constexpr int ReportVehicle = 12102;               // "Dane samochodu:"
inline constexpr int ReportDescription = 12103;           // "Opis Dodatkowy:"

// Further messages.
inline constexpr int NotPresent = 13000;                  // "Brak"
inline constexpr int NoData = 13001;                      // "Brak Danej"
inline constexpr int VehicleDataNotSaved = 13002;         // "Nie Zapisano Danych Samochodu!!! Czy zrobić to teraz ??"
inline constexpr int SaveVehicleDataTitle = 13003;        // "Zapisz Dane Samochodu"
inline constexpr int OnGas = 13004;                       // "LPG"
inline constexpr int OnPetrol = 13005;                    // "BENZYNA"
inline constexpr int SaveParametersQuestion = 13006;      // "Czy zachować parametry w pliku??"
inline constexpr int SaveParametersTitle = 13007;         // "Zapis Parametrów"
inline constexpr int NotProgrammed = 13008;               // "Sterownik nie był wcześniej programowany, należy dokonać…"
inline constexpr int MemoryResetTitle = 13009;            // "Reset Pamięci sterownika"
inline constexpr int AutoDetection = 13010;               // "Autodetekcja"
inline constexpr int RecommendedNozzles = 13012;          // "Zalecane dysze wtryskiwaczy "
inline constexpr int LeaveAdaptation = 13013;             // "Wyjść z autoadaptacji ?"
inline constexpr int Connected = 13014;                   // "Sterownik jest podlaczony"
inline constexpr int NotConnected = 13015;                // "Sterownik jest niepodlaczony"

// The program's own: how a long sequence ended, the line's state, the save policy.
inline constexpr int SequenceRead = 16000;                // "Odczyt ze sterownika"
inline constexpr int SequenceFileLoad = 16001;            // "Wczytanie pliku do sterownika"
inline constexpr int SequenceFactoryReset = 16002;        // "Ustawienia fabryczne"
inline constexpr int SequenceMapUpload = 16003;           // "Zapis map"
inline constexpr int SequenceMapEdit = 16004;             // "Zmiana mapy"
inline constexpr int SequenceDone = 16010;                // "%1: zakończono"
inline constexpr int SequenceNotConnected = 16011;        // "%1: brak połączenia ze sterownikiem, nic nie wysłano"
inline constexpr int SequenceLineLost = 16012;            // "%1: port sterownika zniknął po %2 krokach (%3)"
inline constexpr int SequenceCancelled = 16013;           // "%1: przerwano po %2 krokach (%3)"
inline constexpr int SequenceHalfWritten = 16014;         // "; sterownik ma częściowo zapisaną konfigurację…"
inline constexpr int SaveNeedsCompleteRead = 16015;       // "Brak pełnego odczytu sterownika: plik nie został zapisany"
inline constexpr int LineLostStale = 16016;               // "Port sterownika zniknął: odczyty są nieaktualne…"
inline constexpr int LineBack = 16017;                    // "Sterownik znów odpowiada"
// The program's own: the edit menu of the maps.
inline constexpr int EditMenu = 16020;                    // "Edycja"
inline constexpr int UndoMapEdit = 16021;                 // "Cofnij zmianę mapy"
inline constexpr int RedoMapEdit = 16022;                 // "Ponów zmianę mapy"
// The program's own: the point editor refuses texts it cannot send.
inline constexpr int PointNotANumber = 16030;             // "Punkt charakterystyki \"%1\" nie jest liczbą…"
inline constexpr int PointsNotRising = 16031;             // "Punkty charakterystyki muszą rosnąć…"
// The program's own: backups, compare, the live log.
inline constexpr int RestoreBackup = 16040;               // "Przywróć kopię zapasową…"
inline constexpr int CompareWithFile = 16041;             // "Porównaj z plikiem…"
inline constexpr int LogLiveData = 16042;                 // "Zapisuj odczyty do logu"
inline constexpr int BackupWritten = 16043;               // "Kopia zapasowa: %1"
inline constexpr int BackupUnchanged = 16044;             // "Konfiguracja bez zmian od kopii %1"
inline constexpr int BackupFailedNothingSent = 16045;     // "Nie można zapisać kopii zapasowej (%1): …"
inline constexpr int BackupFailed = 16046;                // "Nie można zapisać kopii zapasowej: %1"
inline constexpr int NoBackups = 16047;                   // "Brak kopii zapasowych w %1"
inline constexpr int BackupsTitle = 16048;                // "Kopie zapasowe"
inline constexpr int ColumnDate = 16049;                  // "Data"
inline constexpr int ColumnSerial = 16050;                // "Numer seryjny"
inline constexpr int ColumnFile = 16051;                  // "Plik"
inline constexpr int CompareTitle = 16052;                // "Porównanie z plikiem %1"
inline constexpr int ColumnItem = 16053;                  // "Element"
inline constexpr int ColumnOnScreen = 16054;              // "Na ekranie"
inline constexpr int ColumnInFile = 16055;                // "W pliku"
inline constexpr int NoDifferences = 16056;               // "Brak różnic"
inline constexpr int DifferenceCount = 16057;             // "Różnice: %1"
inline constexpr int ImplausibleFile = 16058;             // "Plik %1 nie wygląda na plik parametrów: …"
inline constexpr int ControllerHoldsDifferently = 16059;  // "Sterownik przechowuje inaczej niż plik: …"
inline constexpr int LogRunning = 16060;                  // "Log: %1"
inline constexpr int LogOpenFailed = 16061;               // "Nie można otworzyć pliku logu %1: %2"
inline constexpr int LogStopped = 16062;                  // "Zapis logu przerwany: %1"
inline constexpr int LogClosed = 16063;                   // "Log zapisany: %1"
inline constexpr int LoadBackup = 16064;                  // "Wczytaj"
inline constexpr int PortNotPresent = 16065;           // "brak urządzenia"
inline constexpr int ScanPorts = 16066;                // "Skanuj porty"
inline constexpr int PortMissing = 16067;              // "Nie ma urządzenia %1"
inline constexpr int PortNotSerial = 16068;            // "%1 nie jest portem szeregowym"
inline constexpr int PortNoPermission = 16069;         // "Brak uprawnień do %1: dodaj użytkownika do grupy dialout i zaloguj się ponownie"
inline constexpr int OtherAdapters = 16070;            // "Inne adaptery"
inline constexpr int MapAdapterQuestion = 16071;       // "Adapter %1 (%2) nie ma wpisu w tabeli portów. Przypisać go do %3?"
inline constexpr int MapAdapterTitle = 16072;          // "Przypisz adapter"
inline constexpr int NoFreePortEntry = 16073;          // "Nie ma wolnego wpisu portu: każdy od COM1 do COM25 ma urządzenie"
inline constexpr int PortSettingIgnored = 16074;       // "Ustawienie Ports/%1 = \"%2\" nie jest ścieżką urządzenia; pominięto je"
inline constexpr int AboutTitle = 16075;               // "O programie"
inline constexpr int AboutVersion = 16076;             // "Wersja: %1"
inline constexpr int AboutBuild = 16077;               // "Kompilacja: %1"
inline constexpr int AboutDataFolder = 16078;          // "Folder danych (jezyk.txt, rozdz.txt, parametry): %1"
inline constexpr int AboutLanguageFolder = 16079;      // "Pliki języków: %1"
inline constexpr int AboutHelpFile = 16080;            // "Pomoc: %1"
inline constexpr int AboutSettingsFile = 16081;        // "Ustawienia: %1"
inline constexpr int Cancel = 16082;                   // "Anuluj"
inline constexpr int PortInUseBy = 16083;              // "%1 jest używany przez inny program: %2"
inline constexpr int Yes = 16084;                      // "Tak"
inline constexpr int No = 16085;                       // "Nie"
inline constexpr int Ok = 16086;                       // "OK"
inline constexpr int Close = 16087;                    // "Zamknij"
inline constexpr int SmoothSwitching = 16088;          // "Smooth switching"
inline constexpr int SaveReportPdf = 16089;            // "Zapisz raport jako PDF…"
inline constexpr int FilterGroup = 16090;              // "Mazda/Jalowy"
inline constexpr int PetrolSignalFilter = 16091;       // "Filtr sygnału wtryskiwaczy"

// Every id above; a test checks that each is a stored text of the caption table and that none is left out.
inline constexpr int kAllMessageIds[] = {
PortAlreadyOpen, NoController, PortBusy, StatusHeading, Petrol, Gas, AdaptationIntro, AdaptationPumpPedal,
    AdaptationHoldSpeed, AdaptationFinished, SwitchToPetrol, SwitchToGas, Start, Abort, TemperatureReached,
    RaiseSpeed, WaitForReducer, NozzlesTooSmall, NozzlesTooLarge, StayBelowSpeed, RememberPedal,
    SameForceOnBothFuels, AdaptationSucceeded, InjectorOn, InjectorOff, InjectorsWarning, InjectorsSwitchedOff,
    HelpInjectorType, HelpIgnition, HelpMaxGasTime, HelpMinGasOpening, HelpSwitchTemperature, HelpSwitchSpeed,
    HelpCommonCycles, HelpMixtureCorrection, HelpIdleCorrection, HelpSpeedLimit, HelpSpeedLimitOn,
    HelpTankSensor, HelpTankRefresh, HelpLambda1, HelpLambda2, HelpMapMode, HelpTurbo, HelpSpeedSignalLevel,
    HelpReducerVacuum, HelpPetrolInjectionType, HelpReturnPressure, HelpReturnDelay, HelpBuzzerPressure,
    HelpInjectorHeating, HelpHeatingStrength, HelpGasOnDelay, HelpInjectionDelay, HelpInjectorControl,
    HelpPressureFilter, HelpControlAlgorithm, HelpFullCurrentTime, HelpHoldingCurrent, HelpSwitchingMode,
    HelpGasCutoff, HelpReducerCutoff, HelpSwitchBuzzer, HelpSpeedSignalFilter, HelpPetrolSignalFilter,
    HelpSpeedDrop, ChooseParameter, LambdaHelpUpperThreshold, LambdaHelpLowerThreshold, LambdaHelpRiseUp,
    LambdaHelpRiseDown, LambdaHelpDurationUp, LambdaHelpDurationDown, LambdaHelpCorrectionMax,
    LambdaHelpCorrectionMin, LambdaHelpLoadMax, LambdaHelpLoadMin, LambdaHelpSpeedMax, LambdaHelpSpeedMin,
    LambdaHelpInertiaFilter, LambdaHelpLambdaOk, LambdaHelpSlowProbe, LambdaHelpSpeedLimits,
    LambdaHelpInjectionLimits, LambdaHelpTemperatureMap, LambdaHelpTemperatureRange, FileError,
    SettingsResetQuestion, SettingsResetTitle, AutoConnectHint, FillAllFields, Fault, Healthy, ComError,
    EcuError, ErrorsPresent, StoredErrors, NoErrors, FaultPressureLow, FaultPressureHigh,
    FaultPressureSensorShorted, FaultPressureSensorOpen, FaultReducerSensorShorted, FaultReducerSensorOpen,
    FaultGasSensorShorted, FaultGasSensorOpen, FaultGasTooCold, FaultReducerTooCold, FaultGasInjector,
    FaultPetrolInjector, FaultNoPetrolSignal, PetrolWorkTime, Days, Hours, Minutes, Seconds, GasTimePercent,
    PetrolTimePercent, ReportHardware, ReportProgramVersion, ReportVehicle, ReportDescription, NotPresent,
    NoData, VehicleDataNotSaved, SaveVehicleDataTitle, OnGas, OnPetrol, SaveParametersQuestion,
    SaveParametersTitle, NotProgrammed, MemoryResetTitle, AutoDetection, RecommendedNozzles, LeaveAdaptation,
    Connected, NotConnected, SequenceRead, SequenceFileLoad, SequenceFactoryReset, SequenceMapUpload,
    SequenceMapEdit, SequenceDone, SequenceNotConnected, SequenceLineLost, SequenceCancelled, SequenceHalfWritten,
    SaveNeedsCompleteRead, LineLostStale, LineBack, EditMenu, UndoMapEdit, RedoMapEdit,
    PointNotANumber, PointsNotRising,
    RestoreBackup, CompareWithFile, LogLiveData, BackupWritten, BackupUnchanged, BackupFailedNothingSent, BackupFailed, NoBackups, BackupsTitle, ColumnDate, ColumnSerial, ColumnFile, CompareTitle, ColumnItem, ColumnOnScreen, ColumnInFile, NoDifferences, DifferenceCount, ImplausibleFile, ControllerHoldsDifferently, LogRunning, LogOpenFailed, LogStopped, LogClosed, LoadBackup,
    PortNotPresent, ScanPorts, PortMissing, PortNotSerial, PortNoPermission, OtherAdapters, MapAdapterQuestion, MapAdapterTitle, NoFreePortEntry, PortSettingIgnored, AboutTitle, AboutVersion, AboutBuild, AboutDataFolder, AboutLanguageFolder, AboutHelpFile, AboutSettingsFile, Cancel, PortInUseBy,
    Yes, No, Ok, Close, SmoothSwitching, SaveReportPdf, FilterGroup, PetrolSignalFilter,
};

}  // namespace sequaflow::i18n::msg
