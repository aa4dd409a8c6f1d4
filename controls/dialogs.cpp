#include "controls/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace melodrift {

void QtDialogs::warn(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDialogs::inform(QWidget* parent, const QString& title, const QString& text, Tone tone)
{
    const auto icon = tone == Tone::Warning ? QMessageBox::Warning : QMessageBox::Information;
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

QString QtDialogs::saveFileName(QWidget* parent, const QString& suggestedName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QFileDialog::getSaveFileName(parent, QString(), QDir(folder).filePath(suggestedName));
}

} // namespace melodrift
