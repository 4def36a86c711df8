#include "oauth.h"

#include <QMessageAuthenticationCode>
#include <algorithm>

namespace quillerby::demo::oauth {

QByteArray encode(const QByteArray& text) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(text.size() * 3);
    for (const char ch : text) {
        const uchar c = uchar(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '.' || c == '_' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

QByteArray baseString(const QByteArray& method, const QByteArray& baseUri, const Params& params) {
    Params encoded;
    encoded.reserve(params.size());
    for (const auto& p : params) {
        if (p.first == "oauth_signature" || p.first == "realm")
            continue;
        encoded.append({encode(p.first), encode(p.second)});
    }
    std::sort(encoded.begin(), encoded.end());
    QByteArray normalized;
    for (const auto& p : encoded) {
        if (!normalized.isEmpty())
            normalized += '&';
        normalized += p.first + '=' + p.second;
    }
    return method.toUpper() + '&' + encode(baseUri) + '&' + encode(normalized);
}

QByteArray sign(const QByteArray& baseString, const QByteArray& consumerSecret,
                QCryptographicHash::Algorithm algorithm) {
    // WooCommerce keys with the secret as stored, not percent-encoded; shop secrets are "cs_" + hex anyway.
    return QMessageAuthenticationCode::hash(baseString, consumerSecret + '&', algorithm).toBase64();
}

Params parseAuthorization(const QByteArray& header) {
    Params out;
    const QByteArray trimmed = header.trimmed();
    if (!trimmed.left(6).toLower().startsWith("oauth ") && trimmed.toLower() != "oauth")
        return out;
    const QByteArray rest = trimmed.mid(5);
    for (const QByteArray& piece : rest.split(',')) {
        const QByteArray item = piece.trimmed();
        const int eq = int(item.indexOf('='));
        if (eq <= 0)
            continue;
        const QByteArray name = QByteArray::fromPercentEncoding(item.left(eq).trimmed());
        QByteArray value = item.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        if (name == "realm")
            continue;
        out.append({name, QByteArray::fromPercentEncoding(value)});
    }
    return out;
}

} // namespace quillerby::demo::oauth
