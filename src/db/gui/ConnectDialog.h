// ConnectDialog: the modal "Connect" dialog that asks for user name,
// password and server, and the prompt that shows it for a session.
#pragma once

#include "db/ConnectPrompt.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TConnectDialog : public QDialog {
    Q_OBJECT
public:
    explicit TConnectDialog(TConnectDialogModel& model, QWidget* parent = nullptr);

    QLineEdit* UsernameEdit() const { return edUsername_; }
    QLineEdit* PasswordEdit() const { return edPassword_; }
    QComboBox* ServerCombo() const { return edServer_; }
    QPushButton* ConnectButton() const { return btConnect_; }
    QPushButton* CancelButton() const { return btCancel_; }
    // The server's message after a failed attempt.
    QLabel* ErrorLabel() const { return lbError_; }

private slots:
    void connectClicked();

private:
    TConnectDialogModel& model_;
    QLineEdit* edUsername_;
    QLineEdit* edPassword_;
    QComboBox* edServer_;
    QPushButton* btConnect_;
    QPushButton* btCancel_;
    QLabel* lbError_;
};

// Shows TConnectDialog modally; install it with db::SetDefaultConnectPrompt.
class TQtConnectPrompt : public IConnectPrompt {
public:
    explicit TQtConnectPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    bool Execute(TConnectDialogModel& model) override;

private:
    QWidget* parent_;
};
