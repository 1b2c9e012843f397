#include <QProcess>
#include <QtTest>

#include "Form1Fixture.h"
#include "ui_TForm1.h"

// "Fájl" -> "Exportálás...": the current log written as a CSV file or an xlsx workbook.
class ExportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale::c()); }

  void exportWritesTheOpenedLogForASpreadsheet() {
    Form1Fixture f("DecimalSeparator=,\r\nTimeZone=Europe/Budapest\r\n", {1920, 1080}, true, ',');
    f.folder.Write("24.03.31 04.00 VALD_AGATE.csv",
                   "2024;03;31;01;50;20,5;--;\r\n2024;03;31;03;00;-1,5;21,0;\r\n");
    f.nextOpenFile = f.folder.File("24.03.31 04.00 VALD_AGATE.csv");
    f.form->Controls().Open1->trigger();
    QCOMPARE(f.errors, QStringList());

    f.nextExportFile = f.folder.File("export.csv");
    f.form->Controls().Exportls1->trigger();
    QCOMPARE(f.errors, QStringList());
    QCOMPARE(f.suggestedExportName, QStringLiteral("23.12.03 14.05 VALD_AGATE.xlsx"));
    QCOMPARE(QString::fromUtf8(f.folder.Read("export.csv")),
             QStringLiteral("time,Hőmérséklet 1 (°C),Hőmérséklet 2 (°C)\r\n"
                            "2024-03-31T01:50:00+01:00,20.5,\r\n"
                            "2024-03-31T03:00:00+02:00,-1.5,21\r\n"));

    // Read back by openpyxl: the times are dates, the values numbers.
    f.nextExportFile = f.folder.File("export.xlsx");
    f.form->Controls().Exportls1->trigger();
    QCOMPARE(f.errors, QStringList());
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(VALD_TEST_SCRIPTS "/export/read_xlsx.py"), f.folder.File("export.xlsx")});
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.exitCode(), 0);
    QCOMPARE(QJsonDocument::fromJson(reader.readAllStandardOutput()),
             QJsonDocument::fromJson(R"json([["Idő", "Idő (UTC)", "Hőmérséklet 1 (°C)", "Hőmérséklet 2 (°C)"],
                 [{"date": "2024-03-31T01:50:00"}, {"date": "2024-03-31T00:50:00"}, {"number": 20.5}, null],
                 [{"date": "2024-03-31T03:00:00"}, {"date": "2024-03-31T01:00:00"}, {"number": -1.5},
                  {"number": 21}]])json"));
  }

  void exportOfNoLogSaysSoAndWritesNothing() {
    Form1Fixture f("DecimalSeparator=.\r\n");
    f.nextExportFile = f.folder.File("export.csv");
    f.form->Controls().Exportls1->trigger();
    QCOMPARE(f.errors, QStringList{QStringLiteral("Nincs exportálható mérés.")});
    QVERIFY(!QFile::exists(f.folder.File("export.csv")));
  }
};

QTEST_MAIN(ExportWindowTest)
#include "ExportWindowTest.moc"
