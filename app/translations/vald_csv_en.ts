<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Form1Dialogs</name>
    <message>
        <source>Project Fájl (*.csv)</source>
        <translation>Project file (*.csv)</translation>
    </message>
    <message>
        <source>PNG kép (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>PDF dokumentum (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Előzmények</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Eszköz:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>Kezdete:</source>
        <translation>From:</translation>
    </message>
    <message>
        <source>Vége:</source>
        <translation>To:</translation>
    </message>
</context>
<context>
    <name>TF_Nev</name>
    <message>
        <source>  Névjegy</source>
        <translation>  About</translation>
    </message>
    <message>
        <source>Developer:</source>
        <translation>Developer:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Adatok</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>addr dec</source>
        <translation>addr dec</translation>
    </message>
    <message>
        <source>addr str</source>
        <translation>addr str</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>Read word</source>
        <translation>Read word</translation>
    </message>
    <message>
        <source>mac sn reg...</source>
        <translation>mac sn reg...</translation>
    </message>
    <message>
        <source>Eszköz neve</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>Lekérdezés</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Megszakítás</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Fájl</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Pozíció</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Megnyitás</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Mentés</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Előzmények...</source>
        <translation>History...</translation>
    </message>
    <message>
        <source>Kilépés</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Összes lekérdezése</source>
        <translation>Read all</translation>
    </message>
    <message>
        <source>Kép mentése...</source>
        <translation>Save picture...</translation>
    </message>
    <message>
        <source>Alapértelmezett</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Skála</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Névjegy</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Adatok törlése</source>
        <translation>Clear data</translation>
    </message>
    <message>
        <source>Az archívum írása nem sikerült: %1</source>
        <translation>Writing the archive failed: %1</translation>
    </message>
    <message>
        <source>%1: %2/%3 blokk</source>
        <translation>%1: %2/%3 blocks</translation>
    </message>
    <message>
        <source>Nincs archívum: a cfg.ini Archive kulcsa kikapcsolja.</source>
        <translation>No archive: the Archive key of cfg.ini turns it off.</translation>
    </message>
    <message>
        <source>Nincs ilyen eszköz az archívumban: %1</source>
        <translation>No such device in the archive: %1</translation>
    </message>
    <message>
        <source>Lekérdezés megszakítva</source>
        <translation>Readout cancelled</translation>
    </message>
    <message>
        <source>Határértékek...</source>
        <translation>Limits...</translation>
    </message>
    <message>
        <source>Statisztika...</source>
        <translation>Statistics...</translation>
    </message>
    <message>
        <source>Jelentés...</source>
        <translation>Report...</translation>
    </message>
    <message>
        <source>Exportálás...</source>
        <translation>Export...</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>Config fájl szerkesztés</source>
        <translation>Config file editor</translation>
    </message>
    <message>
        <source>Mentés</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>WindowModel</name>
    <message>
        <source>Eszköz neve</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>Hőmérséklet</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Páratartalom</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Megvilágítás</source>
        <translation>Illumination</translation>
    </message>
    <message>
        <source>áramerősség</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Áramerősség</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Relatív páratartalom</source>
        <translation>Relative humidity</translation>
    </message>
    <message>
        <source>Abszolút páratartalom</source>
        <translation>Absolute humidity</translation>
    </message>
    <message>
        <source>Teljesítmény</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Feszültség</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Események</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>Kontaktus</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Vezérlés</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>Utoljára mért hőmérséklet adatok: </source>
        <translation>Last measured temperatures: </translation>
    </message>
    <message>
        <source>Utoljára mért hőmérséklet adat: </source>
        <translation>Last measured temperature: </translation>
    </message>
    <message>
        <source>Utoljára mért páratartalom adatok: </source>
        <translation>Last measured humidities: </translation>
    </message>
    <message>
        <source>Utoljára mért páratartalom adat: </source>
        <translation>Last measured humidity: </translation>
    </message>
    <message>
        <source>Utoljára mért megvilágítás adatok: </source>
        <translation>Last measured illumination: </translation>
    </message>
    <message>
        <source>Utoljára mért áramerősség adatok: </source>
        <translation>Last measured currents: </translation>
    </message>
    <message>
        <source>Utoljára mért CO2 adat: </source>
        <translation>Last measured CO2: </translation>
    </message>
    <message>
        <source>Utoljára mért VOC adat: </source>
        <translation>Last measured VOC: </translation>
    </message>
    <message>
        <source>Utoljára mért relatív páratartalom adatok: </source>
        <translation>Last measured relative humidities: </translation>
    </message>
    <message>
        <source>Utoljára mért abszolút páratartalom adatok: </source>
        <translation>Last measured absolute humidities: </translation>
    </message>
    <message>
        <source>Utoljára mért PM1.0 adatok: </source>
        <translation>Last measured PM1.0: </translation>
    </message>
    <message>
        <source>Utoljára mért PM2.5 adatok: </source>
        <translation>Last measured PM2.5: </translation>
    </message>
    <message>
        <source>Utoljára mért PM4.0 adatok: </source>
        <translation>Last measured PM4.0: </translation>
    </message>
    <message>
        <source>Utoljára mért PM10.0 adatok: </source>
        <translation>Last measured PM10.0: </translation>
    </message>
    <message>
        <source>Utoljára mért teljesítmény adatok: </source>
        <translation>Last measured power: </translation>
    </message>
    <message>
        <source>Utoljára mért feszültség adatok: </source>
        <translation>Last measured voltages: </translation>
    </message>
    <message>
        <source>Utolsó vezérlési esemény: </source>
        <translation>Last control event: </translation>
    </message>
    <message>
        <source>Hőmérséklet:</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>Páratartalom:</source>
        <translation>Humidity:</translation>
    </message>
    <message>
        <source>Megvilágítás:</source>
        <translation>Illumination:</translation>
    </message>
    <message>
        <source>Áramerősség:</source>
        <translation>Current:</translation>
    </message>
    <message>
        <source>Rel. páratartalom:</source>
        <translation>Rel. humidity:</translation>
    </message>
    <message>
        <source>Abs. páratartalom:</source>
        <translation>Abs. humidity:</translation>
    </message>
    <message>
        <source>Teljesítmény:</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>Feszültség:</source>
        <translation>Voltage:</translation>
    </message>
    <message>
        <source>Esemény/érték:</source>
        <translation>Event/value:</translation>
    </message>
    <message>
        <source> 5 = extra     csengetés</source>
        <translation> 5 = extra       ring</translation>
    </message>
    <message>
        <source>10 = auto      csengetés</source>
        <translation>10 = automatic   ring</translation>
    </message>
    <message>
        <source>15 = kézi      csengetés</source>
        <translation>15 = manual      ring</translation>
    </message>
    <message>
        <source>20 = napi         törlés</source>
        <translation>20 = daily      clear</translation>
    </message>
    <message>
        <source>20 = kontaktus csengetés</source>
        <translation>20 = contact     ring</translation>
    </message>
    <message>
        <source>25 = napi         törlés</source>
        <translation>25 = daily      clear</translation>
    </message>
    <message>
        <source>Kikapcsolás</source>
        <translation>Switched off</translation>
    </message>
    <message>
        <source>Automatikus bekapcsolás</source>
        <translation>Switched on automatically</translation>
    </message>
    <message>
        <source>Kézi bekapcsolás</source>
        <translation>Switched on by hand</translation>
    </message>
    <message>
        <source>Nap törlés</source>
        <translation>Day cleared</translation>
    </message>
    <message>
        <source>Ismeretlen</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Skála növelés csökkentés mértéke</source>
        <translation>Scale step</translation>
    </message>
    <message>
        <source>Kérem adja meg az értéket 1-100 ig </source>
        <translation>Please enter a value from 1 to 100 </translation>
    </message>
</context>
</TS>
