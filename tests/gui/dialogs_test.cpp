// The real dialogs, answered from inside their own event loop.

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/control_table.h"
#include "gui_fixture.h"
#include "text/system_texts.h"

namespace pw::test {
namespace {

using Dialogs = GuiTest;

TEST_F(Dialogs, MessageBoxesAreOwnerlessAndApplicationModal) {
    program.form.messageScript = nullptr;
    std::string title, body;
    bool ownerless = false, appModal = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle().toStdString();
        body = box->text().toStdString();
        ownerless = box->parentWidget() == nullptr;
        appModal = box->windowModality() == Qt::ApplicationModal;
        box->button(QMessageBox::Yes)->click();
    });
    const Answer a =
        program.form.message(fromUtf8("分割完毕！是否打开保存目录：/tmp/<x>"), Buttons::YesNo);
    EXPECT_EQ(a, Answer::Yes);
    EXPECT_EQ(title, texts::kInfoTitle);
    EXPECT_EQ(body, "分割完毕！是否打开保存目录：/tmp/<x>");
    EXPECT_TRUE(ownerless);
    EXPECT_TRUE(appModal);

    whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Cancel)->click(); });
    EXPECT_EQ(program.form.message(fromUtf8("确定？"), Buttons::OkCancel, fromUtf8("Corvane：")),
              Answer::Cancel);
}

TEST_F(Dialogs, FileChooserOffersTheFiltersAndReturnsFullPaths) {
    writeFile(dir.path("甲.txt"), "1");
    writeFile(dir.path("乙.txt"), "2");
    program.shell.script = nullptr;
    const QString before = QDir::currentPath();
    QStringList filters;
    QString startedIn;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        startedIn = dialog->directory().absolutePath();
        dialog->selectFile("\"甲.txt\" \"乙.txt\"");
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto paths =
        program.shell.chooseFiles(lit(texts::kChooseSplitFilesTitle),
                                  lit(texts::kChooseSplitFilesFilter), fromUtf8(dir.path()));
    EXPECT_EQ(startedIn.toStdString(), dir.path());
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(toUtf8(paths[0]), dir.path("甲.txt"));
    EXPECT_EQ(toUtf8(paths[1]), dir.path("乙.txt"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0].toStdString(), "TXT文档 (*.txt)");
    EXPECT_EQ(QDir::currentPath(), before);

    // Without a folder of its own the chooser starts in the home folder, not wherever the
    // program was started.
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        startedIn = dialog->directory().absolutePath();
        dialog->reject();
    });
    EXPECT_TRUE(program.shell
                    .chooseFiles(lit(texts::kChooseSplitFilesTitle),
                                 lit(texts::kChooseSplitFilesFilter), {})
                    .empty());
    EXPECT_EQ(startedIn, QDir::homePath());
    EXPECT_NE(startedIn, QDir::currentPath());
}

// Qt's own texts come from its Chinese translations, whatever the desktop's language.
TEST_F(Dialogs, QtOwnTextsAreChinese) {
    program.form.messageScript = nullptr;
    // The captions of a real message box's buttons, read while it is up.
    auto captions = [this](Buttons buttons) {
        std::vector<std::string> texts;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons()) texts.push_back(b->text().toStdString());
            box->buttons().front()->click();
        });
        program.form.message(fromUtf8("分割完毕！是否打开保存目录：/tmp"), buttons);
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    EXPECT_EQ(captions(Buttons::YesNo), (std::vector<std::string>{"否(&N)", "是(&Y)"}));
    EXPECT_EQ(captions(Buttons::OkCancel), (std::vector<std::string>{"取消", "确定"}));

    program.shell.script = nullptr;
    QString lookIn, open;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        lookIn = dialog->findChild<QLabel*>("lookInLabel")->text();
        open = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text();
        dialog->reject();
    });
    program.shell.chooseFiles(lit(texts::kChooseSplitFilesTitle),
                              lit(texts::kChooseSplitFilesFilter), {});
    EXPECT_EQ(lookIn.toStdString(), "查找范围：");
    EXPECT_EQ(open.toStdString(), "打开(&O)");

    auto* box = widget<QLineEdit>(ctl::kPartCount);
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    EXPECT_EQ(menu->actions().front()->text().toStdString(), "撤消(&U)\tCtrl+Z");
    // The window's own texts are not Qt's to translate.
    EXPECT_EQ(text(ctl::kSplitButton), texts::kSplitIdle);
}

}  // namespace
}  // namespace pw::test
