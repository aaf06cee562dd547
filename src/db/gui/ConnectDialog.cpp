// ConnectDialog: layout of the connect dialog and its Connect button.
#include "db/gui/ConnectDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TConnectDialog::TConnectDialog(TConnectDialogModel& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("ConnectForm");
    setWindowTitle("Connect");
    setModal(true);

    edUsername_ = new QLineEdit(QString::fromStdString(model.Username), this);
    edUsername_->setObjectName("edUsername");
    edPassword_ = new QLineEdit(QString::fromStdString(model.Password), this);
    edPassword_->setObjectName("edPassword");
    edPassword_->setEchoMode(QLineEdit::Password);
    edServer_ = new QComboBox(this);
    edServer_->setObjectName("edServer");
    edServer_->setEditable(true);
    for (const auto& s : model.Servers())
        edServer_->addItem(QString::fromStdString(s));
    edServer_->setCurrentText(QString::fromStdString(model.Server));

    lbError_ = new QLabel(this);
    lbError_->setObjectName("lbError");
    lbError_->setWordWrap(true);
    lbError_->setStyleSheet("color: #c00000");
    lbError_->hide();

    btConnect_ = new QPushButton("Connect", this);
    btConnect_->setObjectName("btConnect");
    btConnect_->setDefault(true);
    btCancel_ = new QPushButton("Cancel", this);
    btCancel_->setObjectName("btCancel");

    auto* form = new QFormLayout;
    form->addRow("User Name", edUsername_);
    form->addRow("Password", edPassword_);
    form->addRow("Server", edServer_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btConnect_);
    buttons->addWidget(btCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lbError_);
    layout->addLayout(buttons);

    connect(btConnect_, &QPushButton::clicked, this, &TConnectDialog::connectClicked);
    connect(btCancel_, &QPushButton::clicked, this, &QDialog::reject);

    if (model.FocusOnPassword())
        edPassword_->setFocus();
    else
        edUsername_->setFocus();
}

void TConnectDialog::connectClicked()
{
    model_.Username = edUsername_->text().toStdString();
    model_.Password = edPassword_->text().toStdString();
    model_.Server = edServer_->currentText().trimmed().toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto outcome = model_.Submit();
    QApplication::restoreOverrideCursor();
    switch (outcome) {
    case TConnectDialogModel::Outcome::Connected:
        accept();
        break;
    case TConnectDialogModel::Outcome::GaveUp:
        reject();
        break;
    case TConnectDialogModel::Outcome::Retry:
        lbError_->setText(QString::fromStdString(model_.LastError()));
        lbError_->show();
        edPassword_->setFocus();
        edPassword_->selectAll();
        break;
    }
}

bool TQtConnectPrompt::Execute(TConnectDialogModel& model)
{
    TConnectDialog dialog(model, parent_);
    dialog.adjustSize();
    // Centred on the screen, not over the owner window.
    QScreen* screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    return dialog.exec() == QDialog::Accepted;
}
