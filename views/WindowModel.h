#pragma once

#include <QByteArray>
#include <QRect>
#include <array>

#include "views/ChartModel.h"
#include "views/RichText.h"

// An up/down spin control: a 16-bit position within a range, moved by a step.
struct UpDownModel {
  int position = 0;
  int minimum = -32000;
  int maximum = 32000;
  int step = 5;
};

// One chart page: the chart, its two axis controls and its one-line last-value strip.
struct ChartPageModel {
  ChartModel chart;
  UpDownModel upDnMax{40, -32000, 32000, 5};
  UpDownModel upDnMin{10, -32000, 32000, 5};
  RichText strip;
};

// Indexes of the four chart pages and their series counts.
enum ChartPage { PageT = 0, PageH = 1, PageC = 2, PageV = 3 };
constexpr std::array<int, 4> SeriesPerPage = {12, 6, 6, 6};

// The device name label before a device is shown: "Eszköz neve", in the window's language.
QByteArray DeviceLabelPlaceholder();

// Everything the main window shows, computed by the core; the widgets only display it. Editable
// fields (addresses, memory address, block count, geometry, up/down positions) are read back from
// the widgets before a handler runs. Texts are Windows-1250 bytes.
struct WindowModel {
  WindowModel();

  // Window placement: outer geometry (frame included). centredOnScreen is the placement mode that
  // "Alapértelmezett" switches on.
  QRect geometry{351, 98, 1399, 795};
  bool centredOnScreen = false;

  // Right-hand column.
  QByteArray labelDevice;
  std::array<QByteArray, 5> addressEdits;  // Edit_IP1 .. Edit_IP5
  QByteArray gaugeCaption = "--";          // LabelProggrPos
  int progressMaximum = 100;               // ProgressBar1
  int progressPosition = 0;
  RichText summary;  // RichEdit1

  // Page control: tab width, the six tabs' visibility, captions of the four chart pages.
  int tabWidth = 100;
  std::array<bool, 6> tabVisible{true, true, true, true, true, true};
  std::array<QByteArray, 4> pageCaptions{"Graph1", "Graph2", "Graph3", "Graph4"};
  std::array<ChartPageModel, 4> pages;

  // "Adatok" page (Memo2) and "Data" page (Memo1 and the developer panel).
  QByteArray memo2;
  QByteArray memo1;
  QByteArray eeAddrEdit = "$1100";  // Edit_EE_addr
  QByteArray blockCountEdit = "1";  // Edit3
  QByteArray label1 = "bytes";      // Label1
  bool developerPageVisible = true;

  // Status bar panels 0 .. 6.
  std::array<QByteArray, 7> statusPanels;
};
