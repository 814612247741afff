// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

// Makes a clickable picture or label a keyboard control: it joins the Tab
// order, and Enter, Return or Space on it Q_EMIT its clicked() signal, as a
// mouse click does. Its look stays as designed.
class KeyActivation final : public QObject {
    Q_OBJECT
public:
    explicit KeyActivation(QObject* parent);
    // The control must have a clicked() signal (ImageControl, ClickLabel).
    void Attach(QWidget* control, const QString& accessibleName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
