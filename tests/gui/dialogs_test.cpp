// The real dialogs, answered from inside their own event loop.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        dialog->setDirectory(QString::fromStdString(dir.path()));
        dialog->selectFile("\"甲.txt\" \"乙.txt\"");
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto paths = program.shell.chooseFiles(lit(texts::kChooseSplitFilesTitle),
                                                 lit(texts::kChooseSplitFilesFilter));
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(toUtf8(paths[0]), dir.path("甲.txt"));
    EXPECT_EQ(toUtf8(paths[1]), dir.path("乙.txt"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0].toStdString(), "TXT文档 (*.txt)");
    EXPECT_EQ(QDir::currentPath(), before);

    whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_TRUE(
        program.shell
            .chooseFiles(lit(texts::kChooseSplitFilesTitle), lit(texts::kChooseSplitFilesFilter))
            .empty());
}

}  // namespace
}  // namespace pw::test
