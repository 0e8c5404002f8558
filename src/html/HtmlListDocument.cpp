#include "html/HtmlListDocument.h"

#include "core/ProjectIdentity.h"

namespace html_list {

QStringList headerLines(const QString& folderText) {
    return {
        QStringLiteral("<HTML>"),
        QStringLiteral("<HEAD>"),
        QStringLiteral("<TITLE>Images: ") + folderText + QStringLiteral("</TITLE>"),
        QStringLiteral("</HEAD>"),
        QStringLiteral("<BODY>"),
        QStringLiteral("<CENTER>"),
        QStringLiteral("<H1><FONT COLOR=\"#0000FF\">IMAGES</FONT></H1>"),
        QStringLiteral("<H2><EM>") + folderText + QStringLiteral("</EM></H2>"),
        QStringLiteral("<HR>"),
        QStringLiteral("</CENTER>"),
    };
}

QString entryLine(const QString& name, qint64 size) {
    return QStringLiteral("<IMG SRC=\"") + name + QStringLiteral("\"><BR>") + name.toLower() +
           QStringLiteral(" (") + QString::number(size) + QStringLiteral(" byte)") +
           QStringLiteral("<P>");
}

QStringList footerLines() {
    const QString webPage = QString::fromUtf8(project_identity::kWebPage);
    const QString email = QString::fromUtf8(project_identity::kEmail);
    return {
        QStringLiteral("<P>"),
        QStringLiteral("<HR>"),
        QStringLiteral("<CENTER><I>This HTML document was produced with <BR>"),
        QStringLiteral("<B>") + project_identity::productName() + QStringLiteral("</B><BR>"),
        QString::fromUtf8(project_identity::kHtmlCredit) + QStringLiteral("<P>"),
        QStringLiteral("You can download this program and others by visiting the"),
        QStringLiteral("web page at</I><BR>"),
        QStringLiteral("<A HREF=\"") + webPage + QStringLiteral("\">") + webPage +
            QStringLiteral("</A><BR>"),
        QStringLiteral("<I>e-mail:</I>"),
        QStringLiteral("<A href = \"mailto:") + email + QStringLiteral("\">") + email +
            QStringLiteral("</A></CENTER>"),
        QStringLiteral("<HR>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</HTML>"),
    };
}

bool isListedName(const QString& name) {
    const int dot = int(name.indexOf(QLatin1Char('.')));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot + 1).toUpper();
    return extension == QLatin1String("JPG") || extension == QLatin1String("GIF") ||
           extension == QLatin1String("BMP") || extension == QLatin1String("WMF") ||
           extension == QLatin1String("EMF");
}

}  // namespace html_list
