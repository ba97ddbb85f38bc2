#include "Common/QrCodeGenerator.h"

#include <QLoggingCategory>

#include <QDebug>
#include <QTextStream>

Q_LOGGING_CATEGORY(lcQrCodeGenerator, "quillon.QrCodeGenerator")

QrCodeGenerator::QrCodeGenerator(QObject* parent)
    : QObject(parent)
{
}

QString QrCodeGenerator::generateSvgQr(const QString& text, quint16 border,
                                       qrcodegen::QrCode::Ecc ecc)
{
    const QByteArray utf8 = text.toUtf8();
    try {
        return toSvgString(qrcodegen::QrCode::encodeText(utf8.constData(), ecc), border);
    } catch (const qrcodegen::data_too_long& e) {
        qCCritical(lcQrCodeGenerator).noquote().nospace() << "ERROR: Text of " << utf8.size()
                                        << " bytes does not fit a QR code : " << e.what();
        return QString();
    }
}

QString QrCodeGenerator::toSvgString(const qrcodegen::QrCode& qr, quint16 border) const
{
    const int size = qr.getSize();
    const int n = size + 2 * border;
    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        << "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
           "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" viewBox=\"0 0 " << n << " "
        << n << "\" stroke=\"none\">"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>"
        << "<path d=\"";
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!qr.getModule(x, y))
                continue;
            if (x != 0 || y != 0)
                out << " ";
            out << "M" << (x + border) << "," << (y + border) << "h1v1h-1z";
        }
    }
    out << "\" fill=\"#000000\"/></svg>";
    out.flush();
    return svg;
}
