#pragma once

#include <QString>
#include <QStringList>

// The lines of the HTML list document, before their line ends. Nothing is escaped: names and
// folder texts go in exactly as the file list shows them.
namespace html_list {

// The files the list is made from, whatever type filter the user chose.
inline constexpr char kListingPattern[] = "*.JPG;*.GIF;*.BMP;*.WMF;*.EMF";

// Lines 1 to 10: title and heading naming the folder.
QStringList headerLines(const QString& folderText);
// One picture: the picture by its bare name, then the name in lower case and its size.
QString entryLine(const QString& name, qint64 size);
// The closing lines: credit, web page and e-mail of the maker.
QStringList footerLines();
// True for a name whose text after its first "." is a picture type the list includes.
bool isListedName(const QString& name);

}  // namespace html_list
