#pragma once

#include <QObject>
#include <QString>

#include <qrcodegen/qrcodegen.hpp>

// Text to a QR code drawn as a one-line, self-contained SVG document.
class QrCodeGenerator : public QObject
{
    Q_OBJECT
public:
    explicit QrCodeGenerator(QObject* parent = nullptr);

    // Empty when the text does not fit the largest symbol at `ecc`.
    QString generateSvgQr(const QString& text, quint16 border, qrcodegen::QrCode::Ecc ecc);
    QString toSvgString(const qrcodegen::QrCode& qr, quint16 border) const;
};
