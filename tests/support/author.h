// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

class TextBox;
class wizard;
struct Worksheet;
class worksheets;

// What a teacher does again and again in the tests, done with real clicks and key presses.
namespace author {

/// The register of worksheets, and what the wizard says when a worksheet is saved.
inline const QString track = QStringLiteral("multiple/track.txt");
inline const QStringList saved{QStringLiteral("Your worksheet has been saved.")};

/// "Sheet 1" to "Sheet n", or with another word than "Sheet".
QStringList titles(int n, const QString &stem = QStringLiteral("Sheet"));
/// The captions of the catalogue's title slots on show, in slot order.
QStringList shown(const worksheets &cat);

/// Types text of any alphabet into a box, one key press a character, as a keyboard layout
/// or an input method delivers it.
void typeAnyText(TextBox &box, const QString &text);
/// From the main menu to the wizard.
wizard &openWizard();
/// From the main menu to the catalogue.
worksheets &openCatalogue();
/// Types a whole worksheet into the wizard: question q reads "Question q of <title>", its
/// answers "A q" to "D q", and answer (q - 1) % 4 + 1 is ticked.
void writeWorksheet(wizard &w, const QString &title);
/// The bytes of the worksheet writeWorksheet types, as the file should hold them.
QByteArray worksheetBytes(const QString &title);
/// The worksheet writeWorksheet types, as the wizard would hand it over.
Worksheet worksheet(const QString &title);
/// A register of these titles, each with its worksheet file unless told otherwise.
void registerSheets(const QStringList &titles, bool files = true);
/// A register's bytes for these titles.
QByteArray registerBytes(const QStringList &titles);
/// Every file of the worksheet folder with its bytes (lock files left out).
QMap<QString, QByteArray> folderFiles();

} // namespace author
