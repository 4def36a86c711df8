#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QList>
#include <QPair>

namespace quillerby::demo::oauth {

using Params = QList<QPair<QByteArray, QByteArray>>; // decoded names and values, UTF-8

// RFC 3986 percent-encoding of everything but the unreserved characters, upper-case hex (RFC 5849 3.6).
QByteArray encode(const QByteArray& text);

// The signature base string of RFC 5849 3.4.1: method, base string URI, and the parameters (query and
// oauth_* except oauth_signature and realm) encoded, sorted by name then value, joined and encoded again.
QByteArray baseString(const QByteArray& method, const QByteArray& baseUri, const Params& params);

// Base64 of HMAC(base string) keyed with the consumer secret + "&" (one-legged: no token secret).
QByteArray sign(const QByteArray& baseString, const QByteArray& consumerSecret,
                QCryptographicHash::Algorithm algorithm = QCryptographicHash::Sha1);

// The parameters of an "Authorization: OAuth k="v", ..." header, decoded; realm is dropped (it is not
// signed). Empty when the header is not an OAuth one.
Params parseAuthorization(const QByteArray& header);

} // namespace quillerby::demo::oauth
