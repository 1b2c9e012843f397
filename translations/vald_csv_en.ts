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
    <message>
        <source>Excel munkafüzet (*.xlsx)</source>
        <translation>Excel workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV, UTF-8 (*.csv)</source>
        <translation>CSV, UTF-8 (*.csv)</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>Előzmények: %1 %2 – %3, %4 rekord</source>
        <translation>History: %1 %2 – %3, %4 records</translation>
    </message>
</context>
<context>
    <name>IncompleteLog</name>
    <message>
        <source>%1 (%2 bájt)</source>
        <translation>%1 (%2 bytes)</translation>
    </message>
    <message>
        <source>nem válaszolt blokkok: %1</source>
        <translation>blocks without a reply: %1</translation>
    </message>
    <message>
        <source>ezekre a blokkokra nem érkezett válasz: %1</source>
        <translation>no reply for blocks %1</translation>
    </message>
    <message>
        <source>rövid válasz: %1</source>
        <translation>short reply: %1</translation>
    </message>
    <message>
        <source>ezekre a blokkokra rövid válasz érkezett: %1</source>
        <translation>short reply for blocks %1</translation>
    </message>
    <message>
        <source>túl hosszú válasz: %1</source>
        <translation>oversized reply: %1</translation>
    </message>
    <message>
        <source>ezekre a blokkokra túl hosszú válasz érkezett: %1</source>
        <translation>oversized reply for blocks %1</translation>
    </message>
    <message>
        <source>%1 rekord elveszett</source>
        <translation>%1 records lost</translation>
    </message>
    <message>
        <source>a %1. blokk megegyezik a %2. blokkal</source>
        <translation>block %1 repeats block %2</translation>
    </message>
    <message>
        <source>az idő %1 helyen visszafelé lép</source>
        <translation>%1 steps back in time</translation>
    </message>
    <message>
        <source>%1 rekord dátuma érvénytelen, ezek nem kerültek az archívumba</source>
        <translation>%1 records with an invalid date, not archived</translation>
    </message>
    <message>
        <source>A napló hiányos: %1.</source>
        <translation>Incomplete log: %1.</translation>
    </message>
    <message>
        <source>Gyanús napló: %1.</source>
        <translation>Suspect log: %1.</translation>
    </message>
    <message>
        <source>A naplóban %1.</source>
        <translation>In the log: %1.</translation>
    </message>
</context>
<context>
    <name>LimitsDialog</name>
    <message>
        <source>Határértékek</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>%1
Soronként egy szabály: ESZKÖZ;CSATORNA;ALSÓ;FELSŐ vagy ESZKÖZ;CSATORNA;ALSÓ;FELSŐ;KÉSLELTETÉS;HISZTERÉZIS
ESZKÖZ: MAC-cím, cím, CÍM:PORT, eszköztípus nagybetűkkel (pl. IOLITE) vagy *; CSATORNA: az érték oszlopa (1 = az első) vagy mennyiség (temperature, humidity, co2 ...)
ALSÓ, FELSŐ: szám ponttal, vagy üres; KÉSLELTETÉS: ennyi percig tartó túllépés riaszt; HISZTERÉZIS: ennyivel kell a határon belülre érni a riasztás végéhez (üresen 0); # után megjegyzés. A legszűkebb szabály érvényes.</source>
        <translation>%1
One rule a line: DEVICE;CHANNEL;LOW;HIGH or DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS
DEVICE: MAC address, address, ADDRESS:PORT, device type in capitals (e.g. IOLITE) or *; CHANNEL: the value column (1 = the first) or a quantity (temperature, humidity, co2 ...)
LOW, HIGH: a number with a point, or empty; DELAY: an excursion lasting this many minutes raises an alarm; HYSTERESIS: how far back inside the limit a value must come to end the alarm (empty: 0); a comment after #. The narrowest rule applies.</translation>
    </message>
    <message>
        <source>Mentés</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Mégse</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LogAlarms</name>
    <message>
        <source>az alsó határ alatt</source>
        <translation>below</translation>
    </message>
    <message>
        <source>a felső határ felett</source>
        <translation>above</translation>
    </message>
    <message>
        <source>%1. csatorna (%2) %3 %4: %5 – %6, %7 rekord, szélsőérték %8</source>
        <translation>channel %1 (%2) %3 %4 from %5 to %6, %7 records, extreme %8</translation>
    </message>
</context>
<context>
    <name>LogExport</name>
    <message>
        <source>Nincs exportálható mérés.</source>
        <translation>No measurement to export.</translation>
    </message>
</context>
<context>
    <name>Presenter</name>
    <message>
        <source>  -nincs adat</source>
        <translation>  -no data</translation>
    </message>
    <message>
        <source>  -már van ilyen mac address</source>
        <translation>  -this MAC address is already listed</translation>
    </message>
    <message>
        <source>  -hozzáadva</source>
        <translation>  -added</translation>
    </message>
</context>
<context>
    <name>Quantity</name>
    <message>
        <source>Hőmérséklet</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Páratartalom</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Abszolút páratartalom</source>
        <translation>Absolute humidity</translation>
    </message>
    <message>
        <source>CO2</source>
        <translation>CO2</translation>
    </message>
    <message>
        <source>VOC</source>
        <translation>VOC</translation>
    </message>
    <message>
        <source>Megvilágítás</source>
        <translation>Illuminance</translation>
    </message>
    <message>
        <source>Áramerősség</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Feszültség</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>PM1.0</source>
        <translation>PM1.0</translation>
    </message>
    <message>
        <source>PM2.5</source>
        <translation>PM2.5</translation>
    </message>
    <message>
        <source>PM4.0</source>
        <translation>PM4.0</translation>
    </message>
    <message>
        <source>PM10.0</source>
        <translation>PM10.0</translation>
    </message>
    <message>
        <source>Teljesítmény</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Kontaktus</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Relé esemény</source>
        <translation>Relay event</translation>
    </message>
    <message>
        <source>Esemény</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>Érték</source>
        <translation>Value</translation>
    </message>
</context>
<context>
    <name>ReadAllReport</name>
    <message>
        <source>nem válaszolt</source>
        <translation>no reply</translation>
    </message>
    <message>
        <source> (a napló hiányos, %1)</source>
        <translation> (incomplete log, %1)</translation>
    </message>
    <message>
        <source> (gyanús napló: %1)</source>
        <translation> (suspect log: %1)</translation>
    </message>
    <message>
        <source> (az archívum írása nem sikerült: %1)</source>
        <translation> (not archived: %1)</translation>
    </message>
    <message>
        <source>megszakítva</source>
        <translation>cancelled</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>A cfg.ini DecimalSeparator értéke („%1”) nem lehet tizedesjel: pontosvessző, számjegy, előjel, idézőjel vagy vezérlőkarakter elrontaná a mérési fájlokat. Helyette a rendszer tizedesjele („%2”) érvényes.</source>
        <translation>The DecimalSeparator of cfg.ini (&quot;%1&quot;) cannot be a decimal separator: a semicolon, digit, sign, quote or control character would spoil the measurement files. The system&apos;s decimal separator (&quot;%2&quot;) is used instead.</translation>
    </message>
</context>
<context>
    <name>ShownLogReport</name>
    <message>
        <source>Nincs megjelenített mérési napló.</source>
        <translation>No measurement log is shown.</translation>
    </message>
</context>
<context>
    <name>ShownLogWatch</name>
    <message>
        <source>... és még %1</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>Határérték-túllépés, %1: %2 új riasztás</source>
        <translation>Limits exceeded, %1: %2 new alarms</translation>
    </message>
    <message>
        <source>Riasztás: %1</source>
        <translation>Alarms: %1</translation>
    </message>
    <message>
        <source>A határértékek nem olvashatók: %1</source>
        <translation>The limits cannot be read: %1</translation>
    </message>
    <message>
        <source>A riasztások archiválása nem sikerült: %1</source>
        <translation>The alarms could not be archived: %1</translation>
    </message>
</context>
<context>
    <name>StatisticsDialog</name>
    <message>
        <source>Napi statisztika</source>
        <translation>Daily statistics</translation>
    </message>
</context>
<context>
    <name>StatisticsTable</name>
    <message>
        <source>Nap</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Csatorna</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Mennyiség</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>Egység</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Darab</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Átlag</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>MKT</source>
        <translation>MKT</translation>
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
    <message>
        <source>Skála az adatokhoz</source>
        <translation>Fit scale to data</translation>
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
    <name>Translation</name>
    <message>
        <source>hu</source>
        <comment>the code of the language the texts are translated into</comment>
        <translation>en</translation>
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
    <message>
        <source>CO2</source>
        <translation>CO2</translation>
    </message>
    <message>
        <source>CO2:</source>
        <translation>CO2:</translation>
    </message>
    <message>
        <source>VOC</source>
        <translation>VOC</translation>
    </message>
    <message>
        <source>VOC:</source>
        <translation>VOC:</translation>
    </message>
    <message>
        <source>Mass Concentration PM1.0 µg/m3</source>
        <translation>Mass Concentration PM1.0 µg/m3</translation>
    </message>
    <message>
        <source>Min/Max Mass C. PM1.0:</source>
        <translation>Min/Max Mass C. PM1.0:</translation>
    </message>
    <message>
        <source>Mass Concentration PM2.5 µg/m3</source>
        <translation>Mass Concentration PM2.5 µg/m3</translation>
    </message>
    <message>
        <source>Min/Max Mass C. PM2.5:</source>
        <translation>Min/Max Mass C. PM2.5:</translation>
    </message>
    <message>
        <source>Mass Concentration PM4.0 µg/m3</source>
        <translation>Mass Concentration PM4.0 µg/m3</translation>
    </message>
    <message>
        <source>Min/Max Mass C. PM4.0:</source>
        <translation>Min/Max Mass C. PM4.0:</translation>
    </message>
    <message>
        <source>Mass Concentration PM10.0 µg/m3</source>
        <translation>Mass Concentration PM10.0 µg/m3</translation>
    </message>
    <message>
        <source>Min/Max Mass C. PM10.0:</source>
        <translation>Min/Max Mass C. PM10.0:</translation>
    </message>
    <message>
        <source>0 = Relay1      OFF</source>
        <translation>0 = Relay1      OFF</translation>
    </message>
    <message>
        <source>1 = Relay1       ON</source>
        <translation>1 = Relay1       ON</translation>
    </message>
    <message>
        <source>2 = Relay2      OFF</source>
        <translation>2 = Relay2      OFF</translation>
    </message>
    <message>
        <source>3 = Relay2       ON</source>
        <translation>3 = Relay2       ON</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Skálán kívül: %1 – %2 illeszti</source>
        <translation>Off the scale: %1 – %2 fits it</translation>
    </message>
</context>
<context>
    <name>XlsxExport</name>
    <message>
        <source>Idő</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Idő (UTC)</source>
        <translation>Time (UTC)</translation>
    </message>
</context>
</TS>
