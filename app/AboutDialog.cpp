#include "app/AboutDialog.h"

#include "ui_AboutWindow.h"
#include "valuation/ValueSources.h"

#include <QPushButton>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutWindow>()) {
    ui_->setupUi(this);
    ui_->versionLabel->setText(QStringLiteral("Version %1").arg(QStringLiteral(ORVELT_VERSION)));
    ui_->noteLabel->setText(
        ui_->noteLabel->text().arg(QString::fromStdString(valueSourcesText()).toHtmlEscaped()));
    connect(ui_->okButton, &QPushButton::clicked, this, &AboutDialog::dismiss);
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::dismiss() {
    done(QDialog::Accepted);
    close();
}
