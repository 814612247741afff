// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"
#include "ui/Controls.h"

#include <QFont>
#include <QList>
#include <QString>

#include <functional>

class QAbstractItemModel;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeView;
class QWidget;

// The kinds of control the step pages are built from, at design places (twips).
namespace PageControls {

inline constexpr ColorValue kInstructionColor = Rgb(192, 64, 0);
inline constexpr ColorValue kSettingColor = Rgb(64, 64, 64);
inline constexpr ColorValue kFrameLineColor = Rgb(128, 128, 255);
inline constexpr ColorValue kHiddenButtonColor = Rgb(192, 255, 192);

QFont Arial9();
ImageControl* PictureButton(QWidget* page, const char* name, const char* art, int left, int top, int width, int height);
// A command button that stays hidden for the whole run: its caption names the
// action, its enabled state says whether the action is available.
QPushButton* HiddenCommand(QWidget* page, const char* name, const QString& caption, int left, int top, int width,
                           int height, bool graphical);
// Red bold Verdana number field, flat.
QLineEdit* NumberField(QWidget* page, const char* name, const QString& text, int maxLength, int left, int top);
QCheckBox* FlatCheckBox(QWidget* page, const char* name, const QString& caption, const QFont& font, ColorValue color,
                        int left, int top, int width, int height);
QTreeView* ReportList(QWidget* page, const char* name, QAbstractItemModel* rows);
// Keeps a column of file names as wide as its longest name, never narrower
// than the columns' usual width and never pushing the columns after it out
// of the list; the full name stays in the cell's tooltip.
void FitNameColumn(QTreeView* list, int column);
ShapeOutline* FrameShape(QWidget* page, const char* name);

// A picture of a page that works as a button. The window gives it the hand
// cursor and makes it a keyboard control under this name; available says
// whether a press would act (empty: always).
struct PictureCommand {
    ImageControl* picture = nullptr;
    QString name;
    std::function<bool()> available;
};
using PictureCommands = QList<PictureCommand>;
// The button shows the picture its holder keeps (a look such as greyed).
bool ShowsPictureOf(const ImageControl& button, const ImageControl& holder);

} // namespace PageControls
