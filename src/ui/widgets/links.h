#pragma once

#include <QString>
#include <QUrl>

namespace quillerby {

// Where the maker's guide pages and web site live; the program appends "/guide" and its anchors.
inline constexpr const char* kGuideHost = "https://quillerby.app";
inline constexpr const char* kMakerSite = "https://quillerby.app";
// WooCommerce's own page on generating REST API keys.
inline constexpr const char* kWooCommerceKeysHelp = "https://woocommerce.com/document/woocommerce-rest-api/";

inline QUrl guideUrl(const QString& pathAndAnchor) { return QUrl(QLatin1String(kGuideHost) + pathAndAnchor); }

} // namespace quillerby
