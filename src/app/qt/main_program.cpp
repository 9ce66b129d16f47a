#include "app/qt/main_program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLibraryInfo>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>

#include "app/chapter_preview_job.h"
#include "app/control_table.h"
#include "app/drop_callbacks.h"
#include "app/form_options.h"
#include "app/merge_job.h"
#include "app/option_states.h"
#include "app/qt/control_looks.h"
#include "app/qt/control_widgets.h"
#include "app/qt/drop_target.h"
#include "app/split_job.h"

namespace pw {
namespace {

// The window's texts are Chinese; Qt's file choosers, message-box buttons and context menus
// follow, whatever the desktop's language. Without the translations they stay English.
void translateQtTexts(QApplication& app) {
    auto* qtTexts = new QTranslator(&app);
    if (qtTexts->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qtTexts);
    else
        delete qtTexts;
}

}  // namespace

void applyApplicationLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
    app.setFont(uiFont(15, false));
    translateQtTexts(app);
}

MainProgram::MainProgram(const Text& settingsPath, FileSystem& files, Clock& clock)
    : settings(files),
      window(mainWindowSpec()),
      form(window, clock),
      shell(&window),
      jobs{form, shell, files, clock, state},
      clock_(clock) {
    settings.setForm(&form);
    if (!settingsPath.empty()) settings.openFile(settingsPath);
    form.attachInputDialog(state.inputDialog, shell, files);
    windowCreated();
    bindEvents();
}

void MainProgram::windowCreated() {
    // A saved path is restored over this default.
    const QString home = QDir::homePath();
    form.setText(ctl::kJoinFilePath, fromNativeName(home.toStdString()) + "/1.txt");
    onWindowCreated(form, &settings);
    placeProgressText();
    registerDropAreas();
}

// The registrations outlive the targets: they are kept in the process-wide registry.
void MainProgram::registerDropAreas() {
    using Callback = void (*)(JobContext&, int, int, const Text&, const Text&);
    auto area = [this](std::string_view box, Callback callback) {
        DropTarget(state.dropRegistry)
            .registerWindow(
                window.find<QWidget>(box),
                [this, callback](int count, int index, const Text& path, const Text& extension) {
                    callback(jobs, count, index, path, extension);
                    afterJob();
                });
    };
    area(ctl::kSplitArea, onSplitDrop);
    area(ctl::kMergeArea, onMergeDrop);
}

// The progress text lies over the bar, inside it, 10 px from its left edge.
void MainProgram::placeProgressText() {
    auto* bar = window.find<QProgressBar>(ctl::kProgressBar);
    auto* label = window.find<QLabel>(ctl::kProgressText);
    const bool shown = label->isVisibleTo(&window);
    label->setParent(bar);
    label->setGeometry(10, 0, bar->width() - 10, bar->height());
    label->setVisible(shown);
}

void MainProgram::bindEvents() {
    window.closeHandler = [this] { return onCloseRequest(form, state, &settings); };
    bindOptionRules();

    QObject::connect(window.find<QAbstractButton>(ctl::kSplitButton), &QAbstractButton::clicked,
                     &window, [this] { onSplitClicked(); });
    QObject::connect(window.find<QAbstractButton>(ctl::kDelimiterButton), &QAbstractButton::clicked,
                     &window, [this] { promptDelimiter(form); });
    QObject::connect(window.find<QAbstractButton>(ctl::kChapterPreview), &QAbstractButton::clicked,
                     &window, [this] {
                         chapterPreviewJob(jobs);
                         afterJob();
                     });
    QObject::connect(window.find<QAbstractButton>(ctl::kMergeButton), &QAbstractButton::clicked,
                     &window, [this] {
                         mergeJob(jobs, {}, {}, MergeItems::Files, DoneQuestion::Ask);
                         afterJob();
                     });
    QObject::connect(window.find<QAbstractButton>(ctl::kChooseJoinFile), &QAbstractButton::clicked,
                     &window, [this] { chooseMergeDataFile(jobs); });

    // The logo rests while nobody can see it, and while nobody has used the program for a while;
    // a resting logo costs no wake-ups at all.
    auto* timer = window.find<QTimer>(ctl::kLogoTimer);
    timer->setTimerType(Qt::CoarseTimer);
    lastInputMs_ = clock_.tickMs();
    QObject::connect(timer, &QTimer::timeout, &window, [this, timer] {
        if (clock_.tickMs() - lastInputMs_ >= logoRestAfterMs)
            timer->stop();
        else
            animateLogo();
    });
    timer->start();
    auto wake = [this, timer] {
        lastInputMs_ = clock_.tickMs();
        if (!timer->isActive() && window.isVisible() && !window.isMinimized()) timer->start();
    };
    window.sightHandler = [timer, wake](bool inSight) {
        if (!inSight)
            timer->stop();
        else
            wake();
    };
    window.inputHandler = wake;

    QObject::connect(window.find<PictureControl>(ctl::kLogo), &PictureControl::clicked, &window,
                     [this] { openHomepage(shell); });
    auto* homepageLink = window.find<LinkLabel>(ctl::kHomepageLink);
    auto openLink = [this, homepageLink] {
        shell.openAddress(fromUtf8(homepageLink->address().toStdString()));
    };
    QObject::connect(homepageLink, &LinkLabel::pressed, &window, openLink);
    QObject::connect(window.find<PictureControl>(ctl::kHomepagePicture), &PictureControl::clicked,
                     &window, openLink);

    auto save = [this] { onSaveSettingsClicked(form, settings); };
    QObject::connect(window.find<LinkLabel>(ctl::kSaveSettingsLink), &LinkLabel::pressed, &window,
                     save);
    QObject::connect(window.find<PictureControl>(ctl::kSaveSettingsPicture),
                     &PictureControl::clicked, &window, save);
}

void MainProgram::bindOptionRules() {
    const std::string_view split[] = {
        ctl::kByParts,        ctl::kByBytes,       ctl::kByLines,
        ctl::kByChars,        ctl::kByDelimiter,   ctl::kByChapters,
        ctl::kDetectEncoding, ctl::kWriteRecovery, ctl::kNameAfterText};
    for (std::string_view name : split)
        QObject::connect(window.find<QAbstractButton>(name), &QAbstractButton::clicked, &window,
                         [this] { applySplitOptionStates(form); });
    QObject::connect(window.find<QComboBox>(ctl::kSizePreset), &QComboBox::currentIndexChanged,
                     &window, [this] { applySplitOptionStates(form); });
    const std::string_view merge[] = {ctl::kJoinWithData, ctl::kJoinWithFile, ctl::kJoinWithText};
    for (std::string_view name : merge)
        QObject::connect(window.find<QAbstractButton>(name), &QAbstractButton::clicked, &window,
                         [this] { applyMergeOptionStates(form); });
}

void MainProgram::onSplitClicked() {
    splitJob(jobs, {}, {});
    afterJob();
}

// A close asked for while the job ran happens now that it has returned.
void MainProgram::afterJob() {
    if (closeDueAfterJob(state)) window.close();
}

void MainProgram::animateLogo() {
    auto* picture = window.find<QWidget>(ctl::kLogo);
    const QRect home = window.find<QWidget>(ctl::kHomepagePicture)->geometry();
    int left = picture->x();
    for (int i = 0; i < kLogoFrameMs / kLogoStepMs; ++i)
        left = logo_.step(left, picture->width(), window.width(), home.x() + home.width());
    picture->move(left, picture->y());
}

}  // namespace pw
