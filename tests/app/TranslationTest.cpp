// SPDX-License-Identifier: GPL-3.0-or-later
// With a translator that marks every text it is asked for, no text a user
// sees is left unmarked: each went through the translation mechanism.
#include "app/FrmAbout.h"
#include "imaging/PicSize.h"
#include "preview/FrmPreview.h"
#include "production/CreationRules.h"
#include "settings/FramesPage.h"
#include "settings/FrmProp.h"
#include "settings/SettingsPage.h"
#include "support/FormFixture.h"
#include "support/ListViews.h"
#include "ui/DocumentModel.h"
#include "ui/ListRows.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTranslator>
#include <QTreeView>

namespace {

class MarkingTranslator final : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("«%1»").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

// Numbers and signs ("0", "0%", "...") need no translation.
bool Marked(const QString& text)
{
    const bool words = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
    return !words || text.contains(u'«');
}

class TranslationTest : public FormFixture {
protected:
    void SetUp() override
    {
        QCoreApplication::installTranslator(&marker);
        FormFixture::SetUp();
    }
    void TearDown() override
    {
        FormFixture::TearDown();
        QCoreApplication::removeTranslator(&marker);
    }

    // Every text of a window and of each control in it, hidden ones included.
    static void ExpectAllMarked(QWidget* window)
    {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            QStringList texts{w->windowTitle(), w->toolTip(), w->accessibleName(), w->accessibleDescription()};
            if (auto* label = qobject_cast<QLabel*>(w))
                texts << label->text();
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                texts << button->text();
            if (auto* list = qobject_cast<QTreeView*>(w))
                for (int c = 0; c < list->model()->columnCount(); ++c)
                    texts << list->model()->headerData(c, Qt::Horizontal).toString();
            for (const QString& text : texts)
                EXPECT_TRUE(Marked(text)) << w->objectName().toStdString() << ": " << text.toStdString();
        }
    }

    MarkingTranslator marker;
};

TEST_F(TranslationTest, EveryStepAndWindowShowsOnlyTranslatedTexts)
{
    // A name without letters: file names are the user's own, not translated.
    Named<QCheckBox>(form->Settings(), "chkTrans")->setChecked(true);
    form->Pictures().AddPictureRow({QStringLiteral("1.2"), PicturesPage::PictureTypeText(QStringLiteral("1.2")),
                                    QSize(3, 2), QStringLiteral("/nowhere")});
    for (int step = 0; step < 5; ++step) {
        form->LabCap_Click(step);
        ExpectAllMarked(form.get());
    }
    for (const QString& text :
         {ListViews::Text(Named<QTreeView>(form->Pictures(), "lstPic"), 1, PictureColumn::Type),
          ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 1, FrameColumn::Label),
          ListViews::Text(Named<QTreeView>(form->Frames(), "lstFrame"), 1, FrameColumn::Transparent)})
        EXPECT_TRUE(text.contains(u'«')) << text.toStdString();

    // The window reads the frame number and the flag back from the translated row.
    ListViews::Select(Named<QTreeView>(form->Frames(), "lstFrame"), 1);
    int opened = 0;
    onModal = [&](QDialog& dialog) {
        auto* prop = dynamic_cast<FrmProp*>(&dialog);
        EXPECT_NE(prop, nullptr);
        if (prop) {
            ++opened;
            EXPECT_EQ(prop->LabNo->text(), QStringLiteral("1"));
            EXPECT_TRUE(prop->chkTrans->isChecked());
            ExpectAllMarked(prop);
        }
        dialog.reject();
        return dialog.result();
    };
    form->Frames().imgcmdProp_Click();
    EXPECT_EQ(opened, 1);
    onModal = nullptr;

    FrmPreview preview(form.get(), {QStringLiteral("/nowhere"), QSize(3, 2)});
    ExpectAllMarked(&preview);
    FrmAbout about(form.get());
    ExpectAllMarked(&about);

    // Message boxes and the common dialogs' titles and filters.
    while (form->PictureCount() > 0)
        form->Doc().Remove(1);
    form->Pictures().cmdDel_Click();
    form->Pictures().cmdAdd_Click();
    form->Create().cmdOpen_Click();
    form->Settings().picColor_Click();
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_EQ(openRequests.size(), 1u);
    ASSERT_EQ(saveRequests.size(), 1u);
    ASSERT_EQ(colorRequests.size(), 1u);
    QStringList texts{messages[0].text, openRequests[0].title, saveRequests[0].title, saveRequests[0].filter,
                      colorRequests[0].title};
    const QStringList filter = openRequests[0].filter.split(u'|');
    for (qsizetype i = 0; i < filter.size(); i += 2)
        texts << filter[i];
    for (const QString& text : texts)
        EXPECT_TRUE(text.startsWith(u'«')) << text.toStdString();
}

TEST_F(TranslationTest, CoreMessagesAreTranslated)
{
    QString why;
    EXPECT_TRUE(GetPicSize(QStringLiteral("/nowhere/missing.png"), &why).isEmpty());
    const QStringList texts{why, CreationRules::NoFileNameMessage(),
                            CreationRules::LoopCountMessage(QStringLiteral("x")),
                            CreationRules::SuccessMessage(QStringLiteral("/a.gif"))};
    for (const QString& text : texts)
        EXPECT_TRUE(text.startsWith(u'«')) << text.toStdString();
}

} // namespace
