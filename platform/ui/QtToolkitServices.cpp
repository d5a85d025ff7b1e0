#include "platform/ui/QtToolkitServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpacerItem>
#include <QStringList>
#include <QUrl>
#include <algorithm>

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Alerts belong to the window the user is working in, so that they open over it.
QWidget* alertParent() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : QApplication::activeWindow();
}

QString nameFilterFor(const std::string& kindName, const std::vector<std::string>& extensions) {
    QStringList patterns;
    for (const std::string& extension : extensions) {
        // Files copied from other systems often carry upper-case extensions.
        patterns << "*." + qs(extension).toLower() << "*." + qs(extension).toUpper();
    }
    patterns.removeDuplicates();
    return QStringLiteral("%1 (%2)").arg(qs(kindName), patterns.join(' '));
}

} // namespace

namespace {

// Room in a title bar beside its text: the window manager's buttons, icon and padding.
constexpr int kTitleBarRoom = 160;

// Window managers cut a title longer than its window ("No Se…ntered"): the box is made at least
// as wide as its title needs.
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) +
                       kTitleBarRoom - grid->contentsMargins().left() -
                       grid->contentsMargins().right();
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void runAlert(QMessageBox::Icon icon, const std::string& title, const std::string& message) {
    QMessageBox box(icon, qs(title), qs(message), QMessageBox::Ok, alertParent());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    fitTitle(box);
    box.exec();
}

} // namespace

void QtToolkitServices::showErrorAlert(const std::string& title, const std::string& message) {
    runAlert(QMessageBox::Warning, title, message);
}

void QtToolkitServices::showInformationAlert(const std::string& title, const std::string& message) {
    runAlert(QMessageBox::Information, title, message);
}

int QtToolkitServices::showConfirmation(const std::string& title, const std::string& defaultButton,
                                        const std::string& alternateButton,
                                        const std::string& message) {
    QMessageBox box(QMessageBox::Question, qs(title), qs(message), QMessageBox::NoButton,
                    alertParent());
    QPushButton* yes = box.addButton(qs(defaultButton), QMessageBox::YesRole);
    QPushButton* no = box.addButton(qs(alternateButton), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    fitTitle(box);
    box.exec();
    return box.clickedButton() == yes ? kDefaultButton : 0;
}

bool QtToolkitServices::confirmDestruction(const std::string& title, const std::string& keepButton,
                                           const std::string& destroyButton,
                                           const std::string& message) {
    QMessageBox box(QMessageBox::Warning, qs(title), qs(message), QMessageBox::NoButton,
                    alertParent());
    QPushButton* keep = box.addButton(qs(keepButton), QMessageBox::RejectRole);
    QPushButton* destroy = box.addButton(qs(destroyButton), QMessageBox::DestructiveRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    fitTitle(box);
    box.exec();
    return box.clickedButton() == destroy;
}

std::vector<std::string> QtToolkitServices::chooseFilesToOpen(const OpenFileRequest& request) {
    const QString start =
        request.startDirectory.empty() ? QDir::homePath() : qs(request.startDirectory);
    QFileDialog dialog(alertParent(), qs(request.title), start);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's own dialog opens too small to show the names, sizes and the file-type filter whole.
    dialog.resize(std::max(dialog.width(), 760), std::max(dialog.height(), 480));
    dialog.setFileMode(request.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                       : QFileDialog::ExistingFile);
    if (!request.extensions.empty()) {
        dialog.setNameFilter(nameFilterFor(request.fileKindName, request.extensions));
    }
    if (!request.message.empty()) {
        dialog.setLabelText(QFileDialog::LookIn, qs(request.message));
    }
    std::vector<std::string> chosen;
    if (dialog.exec() != QDialog::Accepted) {
        return chosen;
    }
    for (const QString& file : dialog.selectedFiles()) {
        chosen.push_back(QDir::toNativeSeparators(file).toStdString());
    }
    return chosen;
}

std::string QtToolkitServices::chooseFileToSave(const SaveFileRequest& request) {
    const QString start =
        request.startDirectory.empty() ? QDir::homePath() : qs(request.startDirectory);
    QFileDialog dialog(alertParent(), qs(request.title),
                       QDir(start).filePath(qs(request.suggestedName)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.resize(std::max(dialog.width(), 760), std::max(dialog.height(), 480));
    QStringList filters;
    for (const SaveFileKind& kind : request.kinds) {
        filters << nameFilterFor(kind.name, {kind.extension});
    }
    dialog.setNameFilters(filters);
    if (!request.kinds.empty()) {
        dialog.setDefaultSuffix(qs(request.kinds.front().extension));
    }
    // The extension follows the kind the user picks, unless a name with one was typed.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &request, filters](const QString& filter) {
                         const qsizetype index = filters.indexOf(filter);
                         if (index >= 0) {
                             dialog.setDefaultSuffix(
                                 qs(request.kinds[static_cast<std::size_t>(index)].extension));
                         }
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

bool QtToolkitServices::runPrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, alertParent());
    return dialog.exec() == QDialog::Accepted;
}

void QtToolkitServices::openUrl(const std::string& url) {
    openUrlInBrowser(url);
}

bool QtToolkitServices::openUrlInBrowser(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(qs(url)));
}

ToolkitServices::ThreeWayAnswer QtToolkitServices::askThreeWay(const std::string& title,
                                                               const std::string& first,
                                                               const std::string& second,
                                                               const std::string& third,
                                                               const std::string& message) {
    QMessageBox box(QMessageBox::Question, qs(title), qs(message), QMessageBox::NoButton,
                    alertParent());
    QPushButton* firstButton = box.addButton(qs(first), QMessageBox::AcceptRole);
    QPushButton* secondButton = box.addButton(qs(second), QMessageBox::DestructiveRole);
    QPushButton* thirdButton = box.addButton(qs(third), QMessageBox::RejectRole);
    box.setDefaultButton(firstButton);
    box.setEscapeButton(thirdButton);
    fitTitle(box);
    box.exec();
    if (box.clickedButton() == firstButton) {
        return ThreeWayAnswer::First;
    }
    return box.clickedButton() == secondButton ? ThreeWayAnswer::Second : ThreeWayAnswer::Third;
}
