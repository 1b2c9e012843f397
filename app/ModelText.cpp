#include "ModelText.h"

#include <QCoreApplication>
#include <QSet>

#include "core/Win1250.h"

namespace {

// The views' fixed texts, as the translation knows them (context "WindowModel").
constexpr const char* FixedTexts[] = {
    QT_TRANSLATE_NOOP("WindowModel", "Eszköz neve"),
    QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet"),
    QT_TRANSLATE_NOOP("WindowModel", "Páratartalom"),
    QT_TRANSLATE_NOOP("WindowModel", "Megvilágítás"),
    QT_TRANSLATE_NOOP("WindowModel", "áramerősség"),
    QT_TRANSLATE_NOOP("WindowModel", "Áramerősség"),
    QT_TRANSLATE_NOOP("WindowModel", "Relatív páratartalom"),
    QT_TRANSLATE_NOOP("WindowModel", "Abszolút páratartalom"),
    QT_TRANSLATE_NOOP("WindowModel", "Teljesítmény"),
    QT_TRANSLATE_NOOP("WindowModel", "Feszültség"),
    QT_TRANSLATE_NOOP("WindowModel", "Események"),
    QT_TRANSLATE_NOOP("WindowModel", "Kontaktus"),
    QT_TRANSLATE_NOOP("WindowModel", "Vezérlés"),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért hőmérséklet adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért hőmérséklet adat: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért páratartalom adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért páratartalom adat: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért megvilágítás adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért áramerősség adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért CO2 adat: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért VOC adat: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért relatív páratartalom adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért abszolút páratartalom adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM1.0 adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM2.5 adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM4.0 adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért PM10.0 adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért teljesítmény adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utoljára mért feszültség adatok: "),
    QT_TRANSLATE_NOOP("WindowModel", "Utolsó vezérlési esemény: "),
    QT_TRANSLATE_NOOP("WindowModel", "Hőmérséklet:"),
    QT_TRANSLATE_NOOP("WindowModel", "Páratartalom:"),
    QT_TRANSLATE_NOOP("WindowModel", "Megvilágítás:"),
    QT_TRANSLATE_NOOP("WindowModel", "Áramerősség:"),
    QT_TRANSLATE_NOOP("WindowModel", "Rel. páratartalom:"),
    QT_TRANSLATE_NOOP("WindowModel", "Abs. páratartalom:"),
    QT_TRANSLATE_NOOP("WindowModel", "Teljesítmény:"),
    QT_TRANSLATE_NOOP("WindowModel", "Feszültség:"),
    QT_TRANSLATE_NOOP("WindowModel", "Esemény/érték:"),
    QT_TRANSLATE_NOOP("WindowModel", " 5 = extra     csengetés"),
    QT_TRANSLATE_NOOP("WindowModel", "10 = auto      csengetés"),
    QT_TRANSLATE_NOOP("WindowModel", "15 = kézi      csengetés"),
    QT_TRANSLATE_NOOP("WindowModel", "20 = napi         törlés"),
    QT_TRANSLATE_NOOP("WindowModel", "20 = kontaktus csengetés"),
    QT_TRANSLATE_NOOP("WindowModel", "25 = napi         törlés"),
    QT_TRANSLATE_NOOP("WindowModel", "Kikapcsolás"),
    QT_TRANSLATE_NOOP("WindowModel", "Automatikus bekapcsolás"),
    QT_TRANSLATE_NOOP("WindowModel", "Kézi bekapcsolás"),
    QT_TRANSLATE_NOOP("WindowModel", "Nap törlés"),
    QT_TRANSLATE_NOOP("WindowModel", "Ismeretlen"),
    QT_TRANSLATE_NOOP("WindowModel", "Skála növelés csökkentés mértéke"),
    QT_TRANSLATE_NOOP("WindowModel", "Kérem adja meg az értéket 1-100 ig "),
};

}  // namespace

QString ShownText(const QByteArray& modelText) {
  static const QSet<QString> Fixed = [] {
    QSet<QString> texts;
    for (const char* text : FixedTexts) texts.insert(QString::fromUtf8(text));
    return texts;
  }();
  const QString text = FromWin1250(modelText);
  if (!Fixed.contains(text)) return text;
  return QCoreApplication::translate("WindowModel", text.toUtf8().constData());
}
