// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FrmGif.h"
#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "production/ui/CreatePage.h"
#include "settings/FramesPage.h"
#include "settings/SettingsPage.h"
#include "support/Named.h"
#include "ui/Dialogs.h"
#include "ui/DocumentModel.h"
#include "ui/Messages.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

// A fresh main window per test, with every message box recorded and every
// common dialog answered from scripted queues (an empty queue answers cancel).
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<FrmGif> form;
    std::vector<Messages::Message> messages;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<ColorValue>> colorAnswers;
    std::vector<Dialogs::OpenRequest> openRequests;
    std::vector<Dialogs::SaveRequest> saveRequests;
    std::vector<Dialogs::ColorRequest> colorRequests;
    // Drives a modal window once it is shown; returns its result code. The
    // default closes it at once.
    std::function<int(QDialog&)> onModal;
};
