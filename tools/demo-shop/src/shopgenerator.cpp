#include "shopgenerator.h"

#include "jsonwriter.h"
#include "shoptime.h"

#include <algorithm>
#include <cmath>

namespace quillerby::demo {

namespace {

const char kSite[] = "https://demo-shop.example";
constexpr qint64 kDay = 86400;

// ---- Pools. Arabic texts are UTF-8 literals, turned into QStrings once per generator. ----

struct Name {
    const char* text;
    const char* latin; // for e-mail addresses
};

const Name kLatinFirst[] = {
    {"James", "james"},   {"Emma", "emma"},     {"Olivia", "olivia"},   {"Liam", "liam"},
    {"Noah", "noah"},     {"Sophia", "sophia"}, {"Lucas", "lucas"},     {"Mia", "mia"},
    {"Daniel", "daniel"}, {"Grace", "grace"},   {"Thomas", "thomas"},   {"Chloe", "chloe"},
    {"Samuel", "samuel"}, {"Hannah", "hannah"}, {"David", "david"},     {"Laura", "laura"},
    {"Ahmed", "ahmed"},   {"Fatima", "fatima"}, {"Youssef", "youssef"}, {"Layla", "layla"},
    {"Karim", "karim"},   {"Nour", "nour"},     {"Omar", "omar"},       {"Sara", "sara"},
};
const Name kLatinLast[] = {
    {"Smith", "smith"},      {"Johnson", "johnson"},  {"Brown", "brown"},   {"Taylor", "taylor"},
    {"Wilson", "wilson"},    {"Davies", "davies"},    {"Evans", "evans"},   {"Miller", "miller"},
    {"Clark", "clark"},      {"Walker", "walker"},    {"Wright", "wright"}, {"Baker", "baker"},
    {"Al-Harbi", "alharbi"}, {"Haddad", "haddad"},    {"Khalil", "khalil"}, {"Mansour", "mansour"},
    {"Nasser", "nasser"},    {"El-Sayed", "elsayed"}, {"Farouk", "farouk"}, {"Qureshi", "qureshi"},
};
const Name kArabicFirst[] = {
    {"محمد", "mohammed"}, {"أحمد", "ahmed"},      {"عبدالله", "abdullah"}, {"خالد", "khalid"},
    {"فهد", "fahad"},     {"سعود", "saud"},       {"عمر", "omar"},         {"يوسف", "yousef"},
    {"علي", "ali"},       {"إبراهيم", "ibrahim"}, {"فاطمة", "fatimah"},    {"نورة", "noura"},
    {"سارة", "sarah"},    {"مريم", "maryam"},     {"ريم", "reem"},         {"هند", "hind"},
    {"لطيفة", "latifa"},  {"عائشة", "aisha"},     {"منى", "mona"},         {"ليلى", "layla"},
};
const Name kArabicLast[] = {
    {"العتيبي", "alotaibi"}, {"الحربي", "alharbi"},   {"القحطاني", "alqahtani"}, {"الشمري", "alshammari"},
    {"الدوسري", "aldosari"}, {"الغامدي", "alghamdi"}, {"الزهراني", "alzahrani"}, {"المطيري", "almutairi"},
    {"السبيعي", "alsubaie"}, {"العنزي", "alanazi"},   {"الشهري", "alshehri"},    {"المالكي", "almalki"},
    {"حداد", "haddad"},      {"منصور", "mansour"},    {"خليل", "khalil"},        {"النجار", "alnajjar"},
};

enum PhoneKind { PhoneSA, PhoneAE, PhoneKW, PhoneEG, PhoneUS, PhoneGB };
enum TaxKind { TaxNone, TaxSA, TaxAE, TaxUS };

struct Location {
    const char* country;
    const char* city;
    const char* cityAr;
    const char* state;
    const char* stateAr; // nullptr: the state is a code, written the same in either script
    const char* postcodePrefix;
    int postcodeDigits; // 0: no postcode; -1: a UK postcode
    PhoneKind phone;
    int arabicPercent;
    int weight;
    TaxKind tax;
};

const Location kLocations[] = {
    {"SA", "Riyadh", "الرياض", "Riyadh", "الرياض", "1", 5, PhoneSA, 85, 30, TaxSA},
    {"SA", "Jeddah", "جدة", "Makkah", "مكة المكرمة", "2", 5, PhoneSA, 80, 20, TaxSA},
    {"SA", "Dammam", "الدمام", "Eastern Province", "المنطقة الشرقية", "3", 5, PhoneSA, 80, 10, TaxSA},
    {"SA", "Al Khobar", "الخبر", "Eastern Province", "المنطقة الشرقية", "3", 5, PhoneSA, 75, 5, TaxSA},
    {"SA", "Mecca", "مكة المكرمة", "Makkah", "مكة المكرمة", "2", 5, PhoneSA, 90, 6, TaxSA},
    {"SA", "Medina", "المدينة المنورة", "Madinah", "المدينة المنورة", "4", 5, PhoneSA, 90, 5, TaxSA},
    {"AE", "Dubai", "دبي", "Dubai", "دبي", "", 0, PhoneAE, 45, 6, TaxAE},
    {"AE", "Abu Dhabi", "أبوظبي", "Abu Dhabi", "أبوظبي", "", 0, PhoneAE, 55, 3, TaxAE},
    {"AE", "Sharjah", "الشارقة", "Sharjah", "الشارقة", "", 0, PhoneAE, 60, 2, TaxAE},
    {"KW", "Kuwait City", "مدينة الكويت", "Al Asimah", "العاصمة", "1", 5, PhoneKW, 80, 3, TaxNone},
    {"EG", "Cairo", "القاهرة", "EGC", nullptr, "11", 5, PhoneEG, 70, 3, TaxNone},
    {"EG", "Alexandria", "الإسكندرية", "EGALX", nullptr, "21", 5, PhoneEG, 70, 2, TaxNone},
    {"US", "San Francisco", nullptr, "CA", nullptr, "941", 5, PhoneUS, 5, 2, TaxUS},
    {"US", "New York", nullptr, "NY", nullptr, "100", 5, PhoneUS, 5, 2, TaxUS},
    {"US", "Houston", nullptr, "TX", nullptr, "770", 5, PhoneUS, 10, 1, TaxUS},
    {"GB", "London", nullptr, "", nullptr, "", -1, PhoneGB, 10, 2, TaxNone},
    {"GB", "Manchester", nullptr, "", nullptr, "", -1, PhoneGB, 10, 1, TaxNone},
};

struct Street {
    const char* country;
    const char* latin;
    const char* arabic;
};
const Street kStreets[] = {
    {"SA", "King Fahd Road", "طريق الملك فهد"},
    {"SA", "Olaya Street", "شارع العليا"},
    {"SA", "Prince Sultan Street", "شارع الأمير سلطان"},
    {"SA", "Tahlia Street", "شارع التحلية"},
    {"SA", "King Abdulaziz Road", "طريق الملك عبدالعزيز"},
    {"AE", "Sheikh Zayed Road", "شارع الشيخ زايد"},
    {"AE", "Al Wasl Road", "شارع الوصل"},
    {"KW", "Gulf Road", "شارع الخليج العربي"},
    {"KW", "Salem Al Mubarak Street", "شارع سالم المبارك"},
    {"EG", "Tahrir Street", "شارع التحرير"},
    {"EG", "Corniche El Nil", "كورنيش النيل"},
    {"US", "Market Street", nullptr},
    {"US", "Main Street", nullptr},
    {"US", "Broadway", nullptr},
    {"GB", "Baker Street", nullptr},
    {"GB", "High Street", nullptr},
};
const char* const kUkPostcodes[] = {"SW1A 1AA", "EC1A 1BB", "W1A 0AX", "M1 1AE", "M4 5JD", "NW1 6XE"};
const char* const kCompanies[] = {"Al Noor Trading", "مؤسسة الوفاء التجارية", "Desert Rose LLC",
                                  "شركة النخبة", "Blue Palm Events"};
const char* const kEmailDomains[] = {"example.com", "example.net", "example.org", "mail.example"};

enum Device { Windows, Android, IPhone, IPad, Mac, Linux, WindowsPhone };
const int kDeviceWeights[] = {15, 35, 30, 4, 6, 3, 1};
const char* const kAgents[][2] = {
    {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 "
     "Safari/537.36",
     "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:121.0) Gecko/20100101 Firefox/121.0"},
    {"Mozilla/5.0 (Linux; Android 13; SM-A536B) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/119.0.0.0 "
     "Mobile Safari/537.36",
     "Mozilla/5.0 (Linux; Android 10; K) AppleWebKit/537.36 (KHTML, like Gecko) SamsungBrowser/23.0 "
     "Chrome/115.0.0.0 Mobile Safari/537.36"},
    {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_1 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
     "Version/17.1 Mobile/15E148 Safari/604.1",
     "Mozilla/5.0 (iPhone; CPU iPhone OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
     "Mobile/15E148 Instagram 309.1.0.41.113"},
    {"Mozilla/5.0 (iPad; CPU OS 16_6 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) Version/16.6 "
     "Mobile/15E148 Safari/604.1",
     "Mozilla/5.0 (iPad; CPU OS 17_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) CriOS/119.0 "
     "Mobile/15E148 Safari/604.1"},
    {"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
     "Version/17.0 Safari/605.1.15",
     "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) "
     "Chrome/120.0.0.0 Safari/537.36"},
    {"Mozilla/5.0 (X11; Linux x86_64; rv:109.0) Gecko/20100101 Firefox/119.0",
     "Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0"},
    // Mentions both Windows and Android, as real Windows Phone browsers did.
    {"Mozilla/5.0 (Windows Phone 10.0; Android 6.0.1; Microsoft; Lumia 950) AppleWebKit/537.36 (KHTML, like "
     "Gecko) Chrome/52.0.2743.116 Mobile Safari/537.36 Edge/15.15063",
     "Mozilla/5.0 (Windows Phone 10.0; Android 4.2.1; NOKIA; Lumia 930) AppleWebKit/537.36 (KHTML, like "
     "Gecko) Chrome/39.0.2171.71 Mobile Safari/537.36 Edge/12.0"},
};

const char* const kNotes[] = {
    "Please call before delivery", "الرجاء الاتصال قبل التوصيل",        "Gift wrap please, it is a present",
    "التوصيل بعد العصر لو سمحتم",  "Leave the parcel with the doorman", "أرجو التغليف كهدية",
    "Deliver after 5 pm",
};
const char* const kCoupons[] = {"welcome10", "ramadan10", "eid10", "vip10"};

struct Payment {
    const char* id;
    const char* title;
    int weight;
};
const Payment kPayments[] = {
    {"cod", "Cash on delivery", 35},
    {"stripe", "Credit Card (Stripe)", 30},
    {"bacs", "Direct bank transfer", 15},
    {"paypal", "PayPal", 20},
};

struct TaxRate {
    int id;
    const char* code;
    const char* label;
    int basisPoints; // 1500 = 15 %
    bool compound;
    int percent;
};
const TaxRate kRateSA = {1, "SA-VAT-1", "VAT", 1500, false, 15};
const TaxRate kRateAE = {2, "AE-VAT-1", "VAT", 500, false, 5};
const TaxRate kRateUSState = {3, "US-STATE TAX-1", "State Tax", 600, false, 6};
const TaxRate kRateUSCity = {4, "US-CITY TAX-2", "City Tax", 100, true, 1};

struct Category {
    int id;
    const char* name; // as the REST API sends it: HTML entities escaped
};
const Category kCategories[] = {
    {16, "عطور"},
    {17, "Abayas"},
    {18, "تمور وحلويات"},
    {19, "Coffee"},
    {20, "Home &amp; Kitchen"},
    {21, "إكسسوارات"},
    {22, "Clothing"},
    {23, "هدايا"},
    {24, "Electronics"},
    {15, "Uncategorized"},
};
const Category kTags[] = {{30, "new"}, {31, "bestseller"}, {32, "رمضان"}, {33, "Eid offers"}};

struct ProductDesign {
    const char* latin;
    const char* arabic; // nullptr: the shop lists it under its Latin name only
    int category;       // index into kCategories
    int priceCents;
    const char* skuPrefix;
    bool virtualItem;
};
// Cheap everyday items first: line items favour the start of the catalogue.
const ProductDesign kDesigns[] = {
    {"Sukkari Dates 1kg", "تمر سكري فاخر 1 كغ", 2, 6500, "DTS", false},
    {"Ajwa Dates 500g", "تمر عجوة المدينة 500 غ", 2, 8500, "DTS", false},
    {"Maamoul Assorted Box", "علبة معمول مشكل", 2, 12000, "DTS", false},
    {"Premium Mixed Nuts 1kg", nullptr, 2, 11000, "DTS", false},
    {"Saudi Coffee with Cardamom 250g", "قهوة سعودية بالهيل 250 غ", 3, 4500, "COF", false},
    {"Colombian Coffee Beans 1kg", nullptr, 3, 9800, "COF", false},
    {"Copper Dallah Coffee Pot", "دلة قهوة نحاسية", 3, 15500, "COF", false},
    {"Arabic Coffee Cups (Set of 12)", "فناجين قهوة عربية (12 قطعة)", 3, 7500, "COF", false},
    {"Cotton Thobe", "ثوب قطن رجالي", 6, 19900, "CLO", false},
    {"Red Shemagh", "شماغ أحمر", 6, 14500, "CLO", false},
    {"Kids Jalabiya", "جلابية أطفال", 6, 8900, "CLO", false},
    {"Classic Cotton T-Shirt", nullptr, 6, 4900, "CLO", false},
    {"Eid Gift Box", "صندوق هدايا العيد", 7, 29500, "GFT", false},
    {"Gift Card 100 SAR", "بطاقة هدية 100 ريال", 7, 10000, "GFT", true},
    {"Ramadan Lantern", "فانوس رمضان", 7, 7900, "GFT", false},
    {"Reusable Shopping Bag", nullptr, 9, 1500, "", false},
    {"Wireless Earbuds", nullptr, 8, 29900, "ELC", false},
    {"Phone Case", nullptr, 8, 3950, "ELC", false},
    {"Power Bank 20000mAh", nullptr, 8, 12950, "ELC", false},
    {"Ceramic Serving Tray", "صينية تقديم سيراميك", 4, 13500, "HOM", false},
    {"Electric Incense Burner", "مبخرة كهربائية", 4, 22000, "HOM", false},
    {"Prayer Rug", "سجادة صلاة", 4, 9000, "HOM", false},
    {"Wooden Quran Stand", "حامل مصحف خشبي", 4, 6000, "HOM", false},
    {"Embroidered Black Abaya", "عباية سوداء مطرزة", 1, 65000, "ABY", false},
    {"Classic Crepe Abaya", "عباية كريب كلاسيكية", 1, 42000, "ABY", false},
    {"Linen Summer Abaya", nullptr, 1, 38000, "ABY", false},
    {"Silk Hijab", "حجاب حرير", 1, 9500, "ABY", false},
    {"Leather Wallet", nullptr, 5, 18500, "ACC", false},
    {"Men's Classic Watch", nullptr, 5, 149900, "ACC", false},
    {"Silver Ring", "خاتم فضة", 5, 25000, "ACC", false},
    {"Amber Prayer Beads", "مسبحة كهرمان", 5, 35000, "ACC", false},
    {"Royal Oud Perfume 100ml", "عطر العود الملكي 100 مل", 0, 45000, "PRF", false},
    {"Musk Al Tahara 50ml", "مسك الطهارة 50 مل", 0, 8500, "PRF", false},
    {"Amber Night Eau de Parfum", nullptr, 0, 32000, "PRF", false},
    {"Rose Taifi Oil 12ml", "دهن الورد الطائفي 12 مل", 0, 27500, "PRF", false},
    {"Luxury Oud Collection", "مجموعة العود الفاخرة", 0, 125000, "PRF", false},
};
const char* const kVariantLatin[] = {" - Small",        " - Medium",      " - Large",
                                     " - Gift Edition", " - Travel Size", " - Family Pack"};
const char* const kVariantArabic[] = {" - صغير",       " - وسط",       " - كبير",
                                      " - إصدار هدية", " - حجم السفر", " - عبوة عائلية"};
const char* const kDescriptionsLatin[] = {
    "<p>Carefully selected and packed by hand in our Riyadh warehouse.</p>\n",
    "<p>Made from premium materials for everyday use. Delivered in a gift-ready box.</p>\n",
    "<p>A favourite of our customers, now back in stock.</p>\n",
};
const char* const kDescriptionsArabic[] = {
    "<p>منتج مختار بعناية ومغلف يدويًا في مستودعنا بالرياض.</p>\n",
    "<p>مصنوع من أجود الخامات للاستخدام اليومي، ويصل في علبة جاهزة للإهداء.</p>\n",
    "<p>المنتج المفضل لدى عملائنا، متوفر الآن من جديد.</p>\n",
};

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray randomToken(Prng& rng, int length, const char* alphabet) {
    const int n = int(qstrlen(alphabet));
    QByteArray out(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        out[i] = alphabet[rng.below(n)];
    return out;
}

QByteArray digitsText(quint64 value, int count) {
    QByteArray out(count, '0');
    for (int i = count - 1; i >= 0; --i) {
        out[i] = char('0' + int(value % 10));
        value /= 10;
    }
    return out;
}

qint64 roundedTax(qint64 cents, int basisPoints) {
    return (cents * basisPoints + 5000) / 10000;
}

// Whole-riyal or half-riyal prices; a few end in .95, as shop owners like.
qint64 shopPrice(Prng& rng, qint64 cents) {
    cents = (cents + 25) / 50 * 50;
    if (cents > 1000 && rng.chance(0.15))
        cents = cents / 100 * 100 - 5;
    return qMax<qint64>(cents, 100);
}

// Regular prices as owners type them: "49" or "49.50".
QByteArray priceText(qint64 cents) {
    return cents % 100 == 0 ? QByteArray::number(cents / 100) : moneyText(cents);
}

QByteArray priceHtml(qint64 cents) {
    return "<span class=\"woocommerce-Price-amount amount\"><bdi>" + moneyText(cents) +
           "&nbsp;<span class=\"woocommerce-Price-currencySymbol\">&#x631;.&#x633;</span></bdi></span>";
}

void writeLinks(JsonWriter& w, const QByteArray& self, const QByteArray& collection,
                const QByteArray& customer = {}) {
    w.key("_links").beginObject();
    w.key("self").beginArray().beginObject().member("href", QString::fromLatin1(self)).endObject().endArray();
    w.key("collection")
        .beginArray()
        .beginObject()
        .member("href", QString::fromLatin1(collection))
        .endObject()
        .endArray();
    if (!customer.isEmpty())
        w.key("customer")
            .beginArray()
            .beginObject()
            .member("href", QString::fromLatin1(customer))
            .endObject()
            .endArray();
    w.endObject();
}

} // namespace

QString slugify(const QString& name) {
    QString out;
    bool dash = false;
    const QByteArray utf8 = name.toUtf8();
    for (const char ch : utf8) {
        const uchar c = uchar(ch);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            out += QChar(c);
            dash = false;
        } else if (c >= 'A' && c <= 'Z') {
            out += QChar(c + 32);
            dash = false;
        } else if (c >= 0x80) {
            out += QStringLiteral("%%1").arg(c, 2, 16, QChar(u'0'));
            dash = false;
        } else if (!dash && !out.isEmpty()) {
            out += u'-';
            dash = true;
        }
    }
    while (out.endsWith(u'-'))
        out.chop(1);
    return out;
}

// ---- Model ----

struct ShopGenerator::Customer {
    bool arabic = false;
    bool cityInArabic = false;
    quint8 first = 0, last = 0, location = 0, street = 0, company = 0; // company 0: none
    quint8 emailStyle = 0;                                             // 0: empty
    quint8 emailDomain = 0;
    quint8 phoneStyle = 0;
    quint8 device = 0, agentVariant = 0;
    quint16 building = 0, apartment = 0, emailNumber = 0;
    quint32 userId = 0; // 0: guest
    quint64 phoneDigits = 0;
    quint32 postcode = 0;
    qint64 lastActive = 0;
};

struct ShopGenerator::CatalogueItem {
    qint64 productId = 0;
    QByteArray name; // UTF-8
    QByteArray sku;
    qint64 priceCents = 0;
    qint64 imageId = 0; // 0: no image
    QByteArray imageSrc;
    bool taxable = true;
    bool variable = false;
};

struct ShopGenerator::Recipe {
    int customer = 0;
    quint64 seed = 0;
};

ShopGenerator::ShopGenerator(quint32 seed, qint64 now, int utcOffsetSeconds)
    : m_seed(seed), m_now(now), m_offset(utcOffsetSeconds) {}

ShopGenerator::~ShopGenerator() = default;

namespace {

constexpr qint64 kSpan = (3 * 365 + 120) * kDay; // orders cover a little over three years

template <typename T, size_t N> constexpr int count(const T (&)[N]) {
    return int(N);
}

int locationWeight(int i) {
    return kLocations[i].weight;
}

int pickLocation(Prng& rng) {
    int total = 0;
    for (int i = 0; i < count(kLocations); ++i)
        total += locationWeight(i);
    int r = rng.below(total);
    for (int i = 0; i < count(kLocations); ++i) {
        if (r < locationWeight(i))
            return i;
        r -= locationWeight(i);
    }
    return 0;
}

} // namespace

int ShopGenerator::newCustomer(Prng& rng, qint64 lastActive) {
    Customer c;
    c.location = quint8(pickLocation(rng));
    const Location& loc = kLocations[c.location];
    c.arabic = rng.below(100) < loc.arabicPercent;
    c.first = quint8(rng.below(c.arabic ? count(kArabicFirst) : count(kLatinFirst)));
    c.last = quint8(rng.below(c.arabic ? count(kArabicLast) : count(kLatinLast)));
    c.cityInArabic = c.arabic && loc.cityAr && rng.chance(0.5);
    int streets[8];
    int found = 0;
    for (int i = 0; i < count(kStreets) && found < 8; ++i) {
        if (qstrcmp(kStreets[i].country, loc.country) == 0)
            streets[found++] = i;
    }
    c.street = quint8(streets[rng.below(found)]);
    c.building = quint16(rng.between(1, 8999));
    c.apartment = quint16(rng.chance(0.25) ? rng.between(1, 40) : 0);
    c.company = quint8(rng.chance(0.06) ? 1 + rng.below(count(kCompanies)) : 0);
    c.emailStyle = quint8(rng.chance(0.08) ? 0 : 1 + rng.below(3));
    c.emailDomain = quint8(rng.below(count(kEmailDomains)));
    c.emailNumber = quint16(rng.between(1, 999));
    c.phoneStyle = quint8(rng.below(3));
    c.phoneDigits = rng.next();
    c.postcode = quint32(rng.next());
    c.device = quint8(rng.weighted(kDeviceWeights));
    c.agentVariant = quint8(rng.below(2));
    c.userId = rng.chance(0.55) ? quint32(m_nextUserId++) : 0;
    c.lastActive = lastActive;
    m_customers.push_back(c);
    return int(m_customers.size() - 1);
}

QByteArray ShopGenerator::firstName(const Customer& c) const {
    return c.arabic ? kArabicFirst[c.first].text : kLatinFirst[c.first].text;
}

QByteArray ShopGenerator::lastName(const Customer& c) const {
    return c.arabic ? kArabicLast[c.last].text : kLatinLast[c.last].text;
}

QByteArray ShopGenerator::phone(const Customer& c) const {
    const quint64 d = c.phoneDigits;
    switch (kLocations[c.location].phone) {
    case PhoneSA: {
        const QByteArray rest = digitsText(d, 8);
        return (c.phoneStyle == 0 ? "05" : c.phoneStyle == 1 ? "+9665" : "9665") + rest;
    }
    case PhoneAE: {
        const QByteArray rest = digitsText(d, 7);
        return c.phoneStyle == 0   ? "+97150" + rest
               : c.phoneStyle == 1 ? "050" + rest
                                   : "+971 50 " + rest.left(3) + ' ' + rest.mid(3);
    }
    case PhoneKW:
        return "+965" + QByteArray(1, "569"[d % 3]) + digitsText(d / 3, 7);
    case PhoneEG:
        return "01" + QByteArray(1, "0125"[d % 4]) + digitsText(d / 4, 8);
    case PhoneUS: {
        const QByteArray rest = digitsText(d, 7);
        return "(555) " + rest.left(3) + '-' + rest.mid(3);
    }
    case PhoneGB:
        return "07700 9" + digitsText(d, 5);
    }
    return {};
}

QByteArray ShopGenerator::email(const Customer& c) const {
    if (c.emailStyle == 0)
        return {};
    const QByteArray first = c.arabic ? kArabicFirst[c.first].latin : kLatinFirst[c.first].latin;
    const QByteArray last = c.arabic ? kArabicLast[c.last].latin : kLatinLast[c.last].latin;
    const QByteArray at = '@' + QByteArray(kEmailDomains[c.emailDomain]);
    switch (c.emailStyle) {
    case 1:
        return first + '.' + last + at;
    case 2:
        return first + last + QByteArray::number(c.emailNumber) + at;
    default:
        return first + '_' + QByteArray::number(c.emailNumber) + at;
    }
}

QByteArray ShopGenerator::city(const Customer& c) const {
    const Location& loc = kLocations[c.location];
    return c.cityInArabic ? loc.cityAr : loc.city;
}

QByteArray ShopGenerator::state(const Customer& c) const {
    const Location& loc = kLocations[c.location];
    return c.cityInArabic && loc.stateAr ? loc.stateAr : loc.state;
}

QByteArray ShopGenerator::postcode(const Customer& c) const {
    const Location& loc = kLocations[c.location];
    if (loc.postcodeDigits < 0)
        return kUkPostcodes[c.postcode % count(kUkPostcodes)];
    if (loc.postcodeDigits == 0)
        return {};
    const QByteArray prefix(loc.postcodePrefix);
    return prefix + digitsText(c.postcode, loc.postcodeDigits - int(prefix.size()));
}

QByteArray ShopGenerator::address1(const Customer& c) const {
    const Street& s = kStreets[c.street];
    const QByteArray country(kLocations[c.location].country);
    if (c.arabic && s.arabic)
        return s.arabic + QByteArray("، مبنى ") + QByteArray::number(c.building);
    if (country == "US" || country == "GB")
        return QByteArray::number(c.building % 400 + 1) + ' ' + s.latin;
    return s.latin + QByteArray(", Building ") + QByteArray::number(c.building);
}

QByteArray ShopGenerator::address2(const Customer& c) const {
    if (c.apartment == 0)
        return {};
    return (c.arabic ? QByteArray("شقة ") : QByteArray("Apt ")) + QByteArray::number(c.apartment);
}

void ShopGenerator::generate(int productCount, int orderCount, RecordStore& products, RecordStore& orders) {
    // Line items need products even when the shop serves none: an internal catalogue then stands in.
    generateCatalogue(productCount > 0 ? productCount : 40, productCount > 0 ? &products : nullptr);
    generateOrders(orderCount, orders);
}

void ShopGenerator::generateCatalogue(int total, RecordStore* served) {
    Prng rng(Prng::derive(m_seed, 0x50524f44));
    const qint64 first = m_now - kSpan - 90 * kDay;
    const qint64 last = m_now - kDay;
    std::vector<qint64> times(static_cast<size_t>(total));
    for (qint64& t : times) {
        const double u = rng.uniform();
        t = first + qint64(double(last - first) * u * u); // most of the catalogue is old
    }
    std::sort(times.begin(), times.end());

    static const int statusWeights[] = {90, 4, 3, 3};
    static const char* const statuses[] = {"publish", "draft", "private", "pending"};
    static const int visibilityWeights[] = {90, 4, 3, 3};
    static const char* const visibilities[] = {"visible", "catalog", "search", "hidden"};
    static const int imageWeights[] = {15, 50, 25, 10};

    std::vector<Record> records;
    if (served)
        records.reserve(size_t(total));
    QSet<QString> slugs;
    qint64 nextId = 10;
    m_catalogue.reserve(size_t(total));
    for (int i = 0; i < total; ++i) {
        const ProductDesign& design = kDesigns[i % count(kDesigns)];
        const int round = i / count(kDesigns);
        const bool arabic = design.arabic && rng.chance(0.55);
        QString name = u8(arabic ? design.arabic : design.latin);
        if (round > 0) {
            name += u8(arabic ? kVariantArabic[(round - 1) % 6] : kVariantLatin[(round - 1) % 6]);
            if (round > 6)
                name += QStringLiteral(" %1").arg((round - 1) / 6 + 1);
        }
        QString slug = slugify(name);
        for (int n = 2; slugs.contains(slug); ++n)
            slug = slugify(name) + QStringLiteral("-%1").arg(n);
        slugs.insert(slug);

        const bool variable = !design.virtualItem && rng.chance(0.08);
        const int images = rng.weighted(imageWeights);
        const qint64 id = nextId;
        nextId += 1 + images + (variable ? 3 : 0) + rng.below(3);
        const qint64 created = times[size_t(i)];
        qint64 modified = rng.chance(0.6) ? created + rng.between(60, 3600)
                                          : created + rng.below64(qMax<qint64>(1, m_now - created));
        modified = qMin(modified, m_now);

        const qint64 regular = round == 0 || design.virtualItem
                                   ? design.priceCents
                                   : shopPrice(rng, design.priceCents * rng.between(85, 130) / 100);
        const bool onSale = !variable && rng.chance(0.25);
        const qint64 sale = onSale ? shopPrice(rng, regular * 8 / 10) : 0;
        const qint64 price = onSale ? sale : regular;
        const char* status = statuses[rng.weighted(statusWeights)];
        const char* visibility = visibilities[rng.weighted(visibilityWeights)];
        const bool featured = rng.chance(0.1);
        const bool taxable = !design.virtualItem && rng.chance(0.93);
        const char* taxClass = !taxable ? "" : rng.chance(0.9) ? "" : "reduced-rate";
        const bool manageStock = !design.virtualItem && rng.chance(0.4);
        const int stock = manageStock ? (rng.chance(0.1) ? 0 : rng.between(1, 120)) : 0;
        const char* stockStatus = manageStock       ? (stock > 0         ? "instock"
                                                       : rng.chance(0.3) ? "onbackorder"
                                                                         : "outofstock")
                                  : rng.chance(0.9) ? "instock"
                                                    : "outofstock";
        const bool hasSku = rng.chance(0.85) && design.skuPrefix[0];
        const QString sku =
            hasSku ? QStringLiteral("%1-%2").arg(QString::fromLatin1(design.skuPrefix)).arg(1000 + i)
                   : QString();
        const int secondCategory = rng.chance(0.2) ? 7 : -1; // gifts
        const int tagCount = rng.chance(0.25) ? rng.between(1, 2) : 0;
        const int tagStart = rng.below(count(kTags));
        const bool hasShort = rng.chance(0.7);
        const int description = rng.below(3);
        const int totalSales = rng.below(500);
        const QString fileBase = arabic ? QStringLiteral("product-%1").arg(id) : slug;
        const QByteArray uploads = shoptime::format(created).left(7).replace('-', '/');

        CatalogueItem item;
        item.productId = id;
        item.name = name.toUtf8();
        item.sku = sku.toUtf8();
        item.priceCents = price;
        item.taxable = taxable;
        item.variable = variable;
        if (images > 0) {
            item.imageId = id + 1;
            item.imageSrc =
                QByteArray(kSite) + "/wp-content/uploads/" + uploads + '/' + fileBase.toUtf8() + "-1.jpg";
        }
        m_catalogue.push_back(item);
        m_lastProductId = id;
        if (!served)
            continue;

        Record r;
        r.id = id;
        r.created = created;
        r.modified = modified;
        r.modifiedGmt = modified - m_offset;
        r.status = served->statusCode(QString::fromLatin1(status));
        const QByteArray link = QByteArray(kSite) + "/wp-json/wc/v3/products/" + QByteArray::number(id);
        const QString permalink = QStringLiteral("%1/product/%2/").arg(QLatin1String(kSite), slug);
        JsonWriter w(r.json);
        w.beginObject();
        w.member("id", id).member("name", name).member("slug", slug).member("permalink", permalink);
        w.member("date_created", QString::fromLatin1(shoptime::format(created)));
        w.member("date_created_gmt", QString::fromLatin1(shoptime::format(created - m_offset)));
        w.member("date_modified", QString::fromLatin1(shoptime::format(modified)));
        w.member("date_modified_gmt", QString::fromLatin1(shoptime::format(modified - m_offset)));
        w.member("type", variable ? "variable" : "simple").member("status", status);
        w.memberBool("featured", featured).member("catalog_visibility", visibility);
        w.member("description",
                 u8(arabic ? kDescriptionsArabic[description] : kDescriptionsLatin[description]));
        w.member("short_description", hasShort ? QStringLiteral("<p>%1</p>\n").arg(name) : QString());
        w.member("sku", sku);
        w.member("price", QString::fromLatin1(priceText(price)));
        w.member("regular_price", variable ? QString() : QString::fromLatin1(priceText(regular)));
        w.member("sale_price", onSale ? QString::fromLatin1(priceText(sale)) : QString());
        w.key("date_on_sale_from").null().key("date_on_sale_from_gmt").null();
        w.key("date_on_sale_to").null().key("date_on_sale_to_gmt").null();
        w.member("price_html",
                 QString::fromLatin1(onSale ? "<del aria-hidden=\"true\">" + priceHtml(regular) +
                                                  "</del> <ins>" + priceHtml(sale) + "</ins>"
                                            : priceHtml(price)));
        w.memberBool("on_sale", onSale).memberBool("purchasable", qstrcmp(status, "publish") == 0);
        w.member("total_sales", totalSales);
        w.memberBool("virtual", design.virtualItem).memberBool("downloadable", false);
        w.key("downloads").beginArray().endArray();
        w.member("download_limit", -1).member("download_expiry", -1);
        w.member("external_url", "").member("button_text", "");
        w.member("tax_status", taxable ? "taxable" : "none").member("tax_class", taxClass);
        w.memberBool("manage_stock", manageStock);
        if (manageStock)
            w.member("stock_quantity", stock);
        else
            w.key("stock_quantity").null();
        w.member("stock_status", stockStatus);
        w.member("backorders", "no").memberBool("backorders_allowed", false).memberBool("backordered", false);
        w.memberBool("sold_individually", false).member("weight", "");
        w.key("dimensions")
            .beginObject()
            .member("length", "")
            .member("width", "")
            .member("height", "")
            .endObject();
        w.memberBool("shipping_required", !design.virtualItem).memberBool("shipping_taxable", taxable);
        w.member("shipping_class", "").member("shipping_class_id", 0);
        w.memberBool("reviews_allowed", true).member("average_rating", "0.00").member("rating_count", 0);
        w.key("related_ids").beginArray().endArray();
        w.key("upsell_ids").beginArray().endArray();
        w.key("cross_sell_ids").beginArray().endArray();
        w.member("parent_id", 0).member("purchase_note", "");
        w.key("categories").beginArray();
        const int categoryIndexes[] = {design.category,
                                       secondCategory != design.category ? secondCategory : -1};
        for (int k : categoryIndexes) {
            if (k < 0)
                continue;
            const QString categoryName = u8(kCategories[k].name);
            w.beginObject()
                .member("id", kCategories[k].id)
                .member("name", categoryName)
                .member("slug",
                        slugify(QString(categoryName).replace(QLatin1String("&amp;"), QLatin1String("&"))))
                .endObject();
        }
        w.endArray();
        w.key("tags").beginArray();
        for (int t = 0; t < tagCount; ++t) {
            const Category& tag = kTags[(tagStart + t) % count(kTags)];
            w.beginObject()
                .member("id", tag.id)
                .member("name", u8(tag.name))
                .member("slug", slugify(u8(tag.name)));
            w.endObject();
        }
        w.endArray();
        w.key("images").beginArray();
        for (int k = 1; k <= images; ++k) {
            const qint64 imageDate = created - 60 + k;
            w.beginObject().member("id", id + k);
            w.member("date_created", QString::fromLatin1(shoptime::format(imageDate)));
            w.member("date_created_gmt", QString::fromLatin1(shoptime::format(imageDate - m_offset)));
            w.member("date_modified", QString::fromLatin1(shoptime::format(imageDate)));
            w.member("date_modified_gmt", QString::fromLatin1(shoptime::format(imageDate - m_offset)));
            w.member("src", QStringLiteral("%1/wp-content/uploads/%2/%3-%4.jpg")
                                .arg(QLatin1String(kSite), QString::fromLatin1(uploads), fileBase)
                                .arg(k));
            w.member("name", "").member("alt", "").endObject();
        }
        w.endArray();
        w.key("attributes").beginArray().endArray();
        w.key("default_attributes").beginArray().endArray();
        w.key("variations").beginArray();
        if (variable) {
            for (int k = 1; k <= 3; ++k)
                w.number(id + images + k);
        }
        w.endArray();
        w.key("grouped_products").beginArray().endArray();
        w.member("menu_order", 0);
        w.key("meta_data").beginArray().endArray();
        writeLinks(w, link, QByteArray(kSite) + "/wp-json/wc/v3/products");
        w.endObject();
        records.push_back(std::move(r));
    }
    if (served)
        served->assign(std::move(records));
}

void ShopGenerator::generateOrders(int total, RecordStore& store) {
    m_oldShopBefore = m_now - 2 * 365 * kDay;
    store.setRenderer([this](const Record& r, const QString& status) { return renderOrder(r, status); });
    if (total <= 0) {
        store.assign({});
        return;
    }
    Prng rng(Prng::derive(m_seed, 0x4f524453));

    // Business grows: the density of orders rises linearly over the years; evenings are busiest.
    static const int hourWeights[24] = {3, 2, 1, 1, 1, 1, 2, 3,  4,  5,  6, 6,
                                        6, 6, 6, 6, 7, 8, 9, 10, 11, 10, 7, 5};
    const qint64 start = m_now - kSpan;
    const qint64 days = kSpan / kDay;
    std::vector<qint64> times(static_cast<size_t>(total));
    for (qint64& t : times) {
        const qint64 day = qMin<qint64>(days - 1, qint64(std::sqrt(rng.uniform()) * double(days)));
        t = start + day * kDay + rng.weighted(hourWeights) * 3600 + rng.below(3600);
    }
    std::sort(times.begin(), times.end());
    const qint64 shift = (m_now - rng.between(120, 3 * 3600)) - times.back(); // the newest is a few hours old
    for (qint64& t : times)
        t += shift;

    static const char* const names[] = {"completed", "cancelled", "refunded",  "failed",
                                        "pending",   "on-hold",   "processing"};
    static const int weights[] = {720, 80, 40, 60, 40, 30, 0};
    static const int lastMonthWeights[] = {700, 80, 40, 60, 40, 30, 20}; // a few left behind
    static const int newestWeights[] = {0, 0, 0, 0, 10, 15, 75};
    int codes[7];
    for (int i = 0; i < 7; ++i)
        codes[i] = store.statusCode(QString::fromLatin1(names[i]));
    // The orders still waiting for the owner are the newest ones.
    const int waiting = std::clamp(total / 40, 3, 40);

    std::vector<Record> records(static_cast<size_t>(total));
    m_recipes.resize(size_t(total));
    m_customers.reserve(size_t(total / 2 + 8));
    std::vector<int> active; // customers who may still come back
    qint64 id = qMax<qint64>(1000, m_lastProductId + 100);
    for (int i = 0; i < total; ++i) {
        const qint64 created = times[size_t(i)];
        id += 1 + rng.below(3);
        const int s = rng.weighted(i >= total - waiting          ? newestWeights
                                   : created > m_now - 30 * kDay ? lastMonthWeights
                                                                 : weights);
        qint64 modified = created;
        switch (s) {
        case 0:
            modified += rng.between(3600, 6 * int(kDay));
            break;
        case 1:
            modified += rng.between(1800, 3 * int(kDay));
            break;
        case 2:
            modified += rng.between(2 * int(kDay), 25 * int(kDay));
            break;
        case 3:
            modified += rng.between(5, 300);
            break;
        case 4:
            modified += rng.between(0, 120);
            break;
        case 5:
            modified += rng.between(60, 7200);
            break;
        default:
            modified += rng.between(3, 90);
            break;
        }
        modified = qMin(modified, m_now);

        int customer = -1;
        if (!active.empty() && rng.chance(0.6)) {
            for (int attempt = 0; attempt < 3 && customer < 0 && !active.empty(); ++attempt) {
                const int slot = rng.below(int(active.size()));
                const int candidate = active[size_t(slot)];
                if (m_customers[size_t(candidate)].lastActive >= created) {
                    customer = candidate;
                } else { // lapsed: never orders again
                    active[size_t(slot)] = active.back();
                    active.pop_back();
                }
            }
        }
        if (customer < 0) {
            const qint64 life = rng.chance(0.45) ? 0 : rng.below64(kSpan);
            customer = newCustomer(rng, created + life);
            if (life > 0)
                active.push_back(customer);
        }

        Record& r = records[size_t(i)];
        r.id = id;
        r.created = created;
        r.modified = modified;
        r.modifiedGmt = modified - m_offset;
        r.status = codes[s];
        r.recipe = i;
        m_recipes[size_t(i)] = Recipe{customer, Prng::derive(m_seed, quint64(id))};
    }
    store.assign(std::move(records));
}

namespace {

struct Line {
    const ShopGenerator::CatalogueItem* item = nullptr;
    int quantity = 1;
    qint64 variationId = 0;
    qint64 subtotal = 0, total = 0;
    qint64 subtotalTax[2] = {0, 0}, totalTax[2] = {0, 0};
};

// Taxes of one amount for the rates in force; a compound rate is charged on the amount plus the
// taxes before it, as WooCommerce does.
void taxesOf(qint64 amount, const TaxRate* const* rates, int rateCount, qint64* out) {
    qint64 simple = 0;
    for (int j = 0; j < rateCount; ++j) {
        out[j] = roundedTax(rates[j]->compound ? amount + simple : amount, rates[j]->basisPoints);
        if (!rates[j]->compound)
            simple += out[j];
    }
}

void writeTaxes(JsonWriter& w, const TaxRate* const* rates, int rateCount, const qint64* total,
                const qint64* subtotal) {
    w.key("taxes").beginArray();
    for (int j = 0; j < rateCount; ++j) {
        w.beginObject().member("id", rates[j]->id).memberMoney("total", total[j]);
        if (subtotal)
            w.memberMoney("subtotal", subtotal[j]);
        w.endObject();
    }
    w.endArray();
}

QByteArray dateText(qint64 seconds) {
    return shoptime::format(seconds);
}

} // namespace

QByteArray ShopGenerator::renderOrder(const Record& r, const QString& status) const {
    const Recipe& recipe = m_recipes[size_t(r.recipe)];
    const Customer& c = m_customers[size_t(recipe.customer)];
    const Location& loc = kLocations[c.location];
    Prng rng(recipe.seed);
    const bool oldShop = r.created < m_oldShopBefore;
    const QByteArray idText = QByteArray::number(r.id);

    // Channel, device and payment.
    static const int viaWeights[] = {92, 6, 2};
    static const char* const vias[] = {"checkout", "admin", "rest-api"};
    const int via = rng.weighted(viaWeights);
    QByteArray agent;
    if (via == 0 && !rng.chance(0.03)) {
        const int device = rng.chance(0.9) ? c.device : rng.weighted(kDeviceWeights);
        agent = kAgents[device][c.agentVariant];
    }
    static const int paymentWeights[] = {kPayments[0].weight, kPayments[1].weight, kPayments[2].weight,
                                         kPayments[3].weight};
    const Payment& payment = kPayments[rng.weighted(paymentWeights)];
    const bool paidOnline = qstrcmp(payment.id, "stripe") == 0 || qstrcmp(payment.id, "paypal") == 0;
    const bool cod = qstrcmp(payment.id, "cod") == 0;

    // Line items: popular products more often, no product twice.
    static const int itemCountWeights[] = {15, 25, 28, 18, 14};
    static const int quantityWeights[] = {70, 20, 7, 3};
    const int catalogueSize = int(m_catalogue.size());
    const int wanted = qMin(1 + rng.weighted(itemCountWeights), catalogueSize);
    Line lines[5];
    int lineCount = 0;
    for (int attempt = 0; lineCount < wanted && attempt < 20; ++attempt) {
        const double u = rng.uniform();
        const auto* item = &m_catalogue[size_t(qMin(catalogueSize - 1, int(u * u * catalogueSize)))];
        bool taken = false;
        for (int k = 0; k < lineCount; ++k)
            taken = taken || lines[k].item == item;
        if (taken)
            continue;
        Line& line = lines[lineCount++];
        line.item = item;
        line.quantity = 1 + rng.weighted(quantityWeights);
        line.variationId = item->variable ? item->productId + 1 + rng.below(3) : 0;
    }
    const bool coupon = rng.chance(0.1);
    const char* couponCode = kCoupons[rng.below(count(kCoupons))];

    const TaxRate* rates[2] = {nullptr, nullptr};
    int rateCount = 0;
    switch (loc.tax) {
    case TaxSA:
        rates[rateCount++] = &kRateSA;
        break;
    case TaxAE:
        rates[rateCount++] = &kRateAE;
        break;
    case TaxUS:
        rates[rateCount++] = &kRateUSState;
        rates[rateCount++] = &kRateUSCity;
        break;
    case TaxNone:
        break;
    }

    qint64 itemsSubtotal = 0, itemsTotal = 0, discount = 0, discountTax = 0, cartTax = 0;
    qint64 rateTotals[2] = {0, 0};
    for (int k = 0; k < lineCount; ++k) {
        Line& line = lines[k];
        line.subtotal = line.item->priceCents * line.quantity;
        line.total = coupon ? line.subtotal - (line.subtotal + 5) / 10 : line.subtotal;
        if (line.item->taxable) {
            taxesOf(line.subtotal, rates, rateCount, line.subtotalTax);
            taxesOf(line.total, rates, rateCount, line.totalTax);
        }
        itemsSubtotal += line.subtotal;
        itemsTotal += line.total;
        discount += line.subtotal - line.total;
        for (int j = 0; j < rateCount; ++j) {
            discountTax += line.subtotalTax[j] - line.totalTax[j];
            cartTax += line.totalTax[j];
            rateTotals[j] += line.totalTax[j];
        }
    }

    // Shipping: flat rate, free above 300 SAR, or collected from the shop.
    static const int shippingWeights[] = {70, 20, 10};
    int shippingKind = rng.weighted(shippingWeights);
    if (shippingKind == 1 && itemsSubtotal < 30000)
        shippingKind = 0;
    const bool domestic = qstrcmp(loc.country, "SA") == 0;
    const qint64 shipping = shippingKind == 0 ? (domestic ? 2500 : 6000) : 0;
    qint64 shippingTaxes[2] = {0, 0};
    taxesOf(shipping, rates, rateCount, shippingTaxes);
    const qint64 shippingTax = shippingTaxes[0] + shippingTaxes[1];

    const bool fee = cod && rng.chance(0.5);
    const qint64 feeAmount = fee ? 1000 : 0;
    qint64 feeTaxes[2] = {0, 0};
    if (fee)
        taxesOf(feeAmount, rates, rateCount, feeTaxes);
    for (int j = 0; j < rateCount; ++j) {
        cartTax += feeTaxes[j];
        rateTotals[j] += feeTaxes[j];
    }
    const qint64 totalTax = cartTax + shippingTax;
    const qint64 orderTotal = itemsTotal + shipping + feeAmount + totalTax;

    // Dates that follow from the status and the way of paying.
    const qint64 created = r.created, modified = r.modified;
    qint64 paid = -1, completed = -1;
    if (status == u"completed") {
        completed = modified;
        paid = paidOnline ? created + rng.between(5, 90)
               : cod      ? completed
                          : created + rng.between(3600, 86400);
    } else if (status == u"processing") {
        paid = paidOnline ? created + rng.between(5, 60) : -1;
    } else if (status == u"refunded") {
        paid = created + rng.between(5, 3600);
        completed = created + (modified - created) / 2;
    }
    if (paid > modified)
        paid = modified;

    const QByteArray orderKey =
        "wc_order_" + randomToken(rng, 13, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const QByteArray transaction =
        qstrcmp(payment.id, "stripe") == 0
            ? "pi_" + randomToken(rng, 24, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
        : qstrcmp(payment.id, "paypal") == 0 && paid >= 0
            ? randomToken(rng, 17, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
            : QByteArray();
    static const char* const ipPrefixes[] = {"192.0.2.", "198.51.100.", "203.0.113."};
    const QByteArray ip =
        via == 0 ? ipPrefixes[rng.below(3)] + QByteArray::number(rng.between(1, 254)) : QByteArray();
    const QByteArray note = rng.chance(0.12) ? kNotes[rng.below(count(kNotes))] : "";
    const QByteArray cartHash = via == 0 ? randomToken(rng, 32, "0123456789abcdef") : QByteArray();
    const bool deliveryDate = !oldShop && rng.chance(0.1);
    const qint64 deliveryOn = created + rng.between(1, 4) * kDay;
    // A few shops run a phone-only checkout: no name or e-mail fields at all.
    const bool shortBilling = rng.chance(0.015);
    const bool partialRefund = status == u"completed" && rng.chance(0.02) && lineCount > 0;

    QByteArray out;
    out.reserve(6144); // a typical order is about 4 KB once escaped
    JsonWriter w(out);
    w.beginObject();
    w.member("id", r.id).member("parent_id", 0).member("status", status).member("currency", "SAR");
    w.member("version", oldShop ? "4.3.1" : "8.3.1").memberBool("prices_include_tax", false);
    w.member("date_created", dateText(created)).member("date_modified", dateText(modified));
    w.memberMoney("discount_total", discount).memberMoney("discount_tax", discountTax);
    w.memberMoney("shipping_total", shipping).memberMoney("shipping_tax", shippingTax);
    w.memberMoney("cart_tax", cartTax).memberMoney("total", orderTotal).memberMoney("total_tax", totalTax);
    w.member("customer_id", qint64(c.userId)).member("order_key", orderKey);

    const QByteArray first = firstName(c), last = lastName(c);
    const QByteArray company = c.company ? kCompanies[c.company - 1] : "";
    w.key("billing").beginObject();
    if (!shortBilling)
        w.member("first_name", first).member("last_name", last).member("company", company);
    w.member("address_1", address1(c)).member("address_2", address2(c));
    w.member("city", city(c)).member("state", state(c)).member("postcode", postcode(c));
    w.member("country", loc.country);
    if (!shortBilling)
        w.member("email", email(c));
    w.member("phone", phone(c));
    if (deliveryDate)
        w.member("delivery_date", shoptime::formatDate(deliveryOn));
    w.endObject();
    w.key("shipping").beginObject();
    w.member("first_name", shortBilling ? QByteArray() : first)
        .member("last_name", shortBilling ? QByteArray() : last);
    w.member("company", shortBilling ? QByteArray() : company);
    w.member("address_1", address1(c)).member("address_2", address2(c));
    w.member("city", city(c)).member("state", state(c)).member("postcode", postcode(c));
    w.member("country", loc.country);
    if (!oldShop)
        w.member("phone", "");
    w.endObject();

    w.member("payment_method", payment.id).member("payment_method_title", payment.title);
    w.member("transaction_id", transaction);
    w.member("customer_ip_address", ip).member("customer_user_agent", agent);
    w.member("created_via", vias[via]).member("customer_note", note);
    auto optionalDate = [&](const char* name, qint64 value, int offset) {
        if (value < 0)
            w.key(name).null();
        else
            w.member(name, dateText(value - offset));
    };
    optionalDate("date_completed", completed, 0);
    optionalDate("date_paid", paid, 0);
    w.member("cart_hash", cartHash).member("number", idText);

    const qint64 base = r.id * 10; // item ids: 0-4 products, 5 shipping, 6 fee, 7 coupon, 8-9 taxes
    w.key("meta_data").beginArray();
    w.beginObject().member("id", base + 1).member("key", "is_vat_exempt").member("value", "no").endObject();
    if (!oldShop)
        w.beginObject()
            .member("id", base + 2)
            .member("key", "_wc_order_attribution_source_type")
            .member("value", via == 0 ? "typein" : "admin")
            .endObject();
    w.endArray();

    w.key("line_items").beginArray();
    for (int k = 0; k < lineCount; ++k) {
        const Line& line = lines[k];
        const CatalogueItem& item = *line.item;
        w.beginObject().member("id", base + k).member("name", item.name).member("product_id", item.productId);
        w.member("variation_id", line.variationId).member("quantity", line.quantity);
        w.member("tax_class", "");
        w.memberMoney("subtotal", line.subtotal)
            .memberMoney("subtotal_tax", line.subtotalTax[0] + line.subtotalTax[1]);
        w.memberMoney("total", line.total).memberMoney("total_tax", line.totalTax[0] + line.totalTax[1]);
        writeTaxes(w, rates, item.taxable ? rateCount : 0, line.totalTax, line.subtotalTax);
        w.key("meta_data").beginArray().endArray();
        w.member("sku", item.sku);
        w.key("price").decimalNumber(item.priceCents);
        if (!oldShop) {
            w.key("image").beginObject();
            if (item.imageId)
                w.member("id", item.imageId).member("src", item.imageSrc);
            else
                w.member("id", "").member("src", "");
            w.endObject();
            w.key("parent_name").null();
        }
        w.endObject();
    }
    w.endArray();

    w.key("tax_lines").beginArray();
    for (int j = 0; j < rateCount; ++j) {
        w.beginObject()
            .member("id", base + 8 + j)
            .member("rate_code", rates[j]->code)
            .member("rate_id", rates[j]->id);
        w.member("label", rates[j]->label).memberBool("compound", rates[j]->compound);
        w.memberMoney("tax_total", rateTotals[j]).memberMoney("shipping_tax_total", shippingTaxes[j]);
        if (!oldShop)
            w.member("rate_percent", rates[j]->percent);
        w.key("meta_data").beginArray().endArray().endObject();
    }
    w.endArray();

    w.key("shipping_lines").beginArray();
    {
        static const char* const titles[] = {"Flat rate", "Free shipping", "Local pickup"};
        static const char* const methods[] = {"flat_rate", "free_shipping", "local_pickup"};
        w.beginObject().member("id", base + 5).member("method_title", titles[shippingKind]);
        w.member("method_id", methods[shippingKind])
            .member("instance_id", QByteArray::number(shippingKind + 1));
        w.memberMoney("total", shipping).memberMoney("total_tax", shippingTax);
        writeTaxes(w, rates, shipping > 0 ? rateCount : 0, shippingTaxes, nullptr);
        w.key("meta_data").beginArray().endArray().endObject();
    }
    w.endArray();

    w.key("fee_lines").beginArray();
    if (fee) {
        w.beginObject().member("id", base + 6).member("name", "Cash on delivery fee").member("tax_class", "");
        w.member("tax_status", "taxable").member("amount", "10").memberMoney("total", feeAmount);
        w.memberMoney("total_tax", feeTaxes[0] + feeTaxes[1]);
        writeTaxes(w, rates, rateCount, feeTaxes, feeTaxes);
        w.key("meta_data").beginArray().endArray().endObject();
    }
    w.endArray();

    w.key("coupon_lines").beginArray();
    if (coupon) {
        w.beginObject().member("id", base + 7).member("code", couponCode);
        w.memberMoney("discount", discount).memberMoney("discount_tax", discountTax);
        w.key("meta_data").beginArray().endArray().endObject();
    }
    w.endArray();

    w.key("refunds").beginArray();
    if (status == u"refunded" || partialRefund) {
        const qint64 refunded = status == u"refunded" ? orderTotal : lines[0].total;
        w.beginObject()
            .member("id", base + 9)
            .member("reason", "")
            .memberMoney("total", -refunded)
            .endObject();
    }
    w.endArray();

    if (!oldShop) {
        w.member("payment_url",
                 kSite + ("/checkout/order-pay/" + idText + "/?pay_for_order=true&key=" + orderKey));
        w.memberBool("is_editable", status == u"pending" || status == u"on-hold" || status == u"failed");
        w.memberBool("needs_payment", (status == u"pending" || status == u"failed") && orderTotal > 0);
        w.memberBool("needs_processing", true);
    }
    w.member("date_created_gmt", dateText(created - m_offset));
    w.member("date_modified_gmt", dateText(modified - m_offset));
    optionalDate("date_completed_gmt", completed, m_offset);
    optionalDate("date_paid_gmt", paid, m_offset);
    if (!oldShop)
        w.member("currency_symbol", "ر.س");
    writeLinks(w, QByteArray(kSite) + "/wp-json/wc/v3/orders/" + idText,
               QByteArray(kSite) + "/wp-json/wc/v3/orders",
               c.userId ? QByteArray(kSite) + "/wp-json/wc/v3/customers/" + QByteArray::number(c.userId)
                        : QByteArray());
    w.endObject();
    return out;
}

QByteArray ShopGenerator::generalSettings(const QString& currency) {
    struct Setting {
        const char* id;
        const char* label;
        const char* description;
        const char* type;
        const char* defaultValue;
        const char* tip;
        const char* value;
    };
    static const Setting settings[] = {
        {"woocommerce_store_address", "Address line 1", "The street address for your business location.",
         "text", "", "The street address for your business location.", "King Fahd Road, Building 4120"},
        {"woocommerce_store_address_2", "Address line 2",
         "An additional, optional address line for your business location.", "text", "",
         "An additional, optional address line for your business location.", ""},
        {"woocommerce_store_city", "City", "The city in which your business is located.", "text", "",
         "The city in which your business is located.", "Riyadh"},
        {"woocommerce_default_country", "Country / State",
         "The country and state or province, if any, in which your business is located.", "select", "US:CA",
         "The country and state or province, if any, in which your business is located.", "SA"},
        {"woocommerce_store_postcode", "Postcode / ZIP",
         "The postal code, if any, in which your business is located.", "text", "",
         "The postal code, if any, in which your business is located.", "12271"},
        {"woocommerce_allowed_countries", "Selling location(s)",
         "This option lets you limit which countries you are willing to sell to.", "select", "all",
         "This option lets you limit which countries you are willing to sell to.", "all"},
        {"woocommerce_ship_to_countries", "Shipping location(s)",
         "Choose which countries you want to ship to, or choose to ship to all locations you sell to.",
         "select", "",
         "Choose which countries you want to ship to, or choose to ship to all locations you sell to.", ""},
        {"woocommerce_default_customer_address", "Default customer location", "", "select", "base",
         "This option determines a customers default location.", "base"},
        {"woocommerce_calc_taxes", "Enable taxes", "Enable tax rates and calculations", "checkbox", "no",
         nullptr, "yes"},
        {"woocommerce_enable_coupons", "Enable coupons", "Enable the use of coupon codes", "checkbox", "yes",
         nullptr, "yes"},
        {"woocommerce_calc_discounts_sequentially", "", "Calculate coupon discounts sequentially", "checkbox",
         "no", nullptr, "no"},
        {"woocommerce_currency", "Currency",
         "This controls what currency prices are listed at in the catalog and which currency gateways will "
         "take "
         "payments in.",
         "select", "USD",
         "This controls what currency prices are listed at in the catalog and which currency gateways will "
         "take "
         "payments in.",
         nullptr},
        {"woocommerce_currency_pos", "Currency position",
         "This controls the position of the currency symbol.", "select", "left",
         "This controls the position of the currency symbol.", "right_space"},
        {"woocommerce_price_thousand_sep", "Thousand separator",
         "This sets the thousand separator of displayed prices.", "text", ",",
         "This sets the thousand separator of displayed prices.", ","},
        {"woocommerce_price_decimal_sep", "Decimal separator",
         "This sets the decimal separator of displayed prices.", "text", ".",
         "This sets the decimal separator of displayed prices.", "."},
        {"woocommerce_price_num_decimals", "Number of decimals",
         "This sets the number of decimal points shown in displayed prices.", "number", "2",
         "This sets the number of decimal points shown in displayed prices.", "2"},
    };
    static const char* const currencies[][2] = {
        {"AED", "United Arab Emirates dirham (&#x62f;.&#x625;)"},
        {"EGP", "Egyptian pound (EGP)"},
        {"EUR", "Euro (&euro;)"},
        {"GBP", "Pound sterling (&pound;)"},
        {"KWD", "Kuwaiti dinar (&#x62f;.&#x643;)"},
        {"SAR", "Saudi riyal (&#x631;.&#x633;)"},
        {"USD", "United States (US) dollar (&#36;)"},
    };
    QByteArray out;
    JsonWriter w(out);
    w.beginArray();
    for (const Setting& s : settings) {
        w.beginObject().member("id", s.id).member("label", s.label).member("description", s.description);
        w.member("type", s.type).member("default", s.defaultValue);
        const QByteArray id(s.id);
        if (id == "woocommerce_currency") {
            w.key("options").beginObject();
            for (const auto& c : currencies)
                w.key(c[0]).string(c[1]);
            w.endObject();
        } else if (id == "woocommerce_currency_pos") {
            w.key("options")
                .beginObject()
                .member("left", "Left")
                .member("right", "Right")
                .member("left_space", "Left with space")
                .member("right_space", "Right with space")
                .endObject();
        } else if (id == "woocommerce_allowed_countries") {
            w.key("options")
                .beginObject()
                .member("all", "Sell to all countries")
                .member("all_except", "Sell to all countries, except for&hellip;")
                .member("specific", "Sell to specific countries")
                .endObject();
        }
        if (s.tip)
            w.member("tip", s.tip);
        w.member("value", s.value ? QString::fromLatin1(s.value) : currency);
        writeLinks(w, QByteArray(kSite) + "/wp-json/wc/v3/settings/general/" + id,
                   QByteArray(kSite) + "/wp-json/wc/v3/settings/general");
        w.endObject();
    }
    w.endArray();
    return out;
}

} // namespace quillerby::demo
