-- The program's own database on the embedded engine. Text columns compare without regard to case, as the
-- server database's collation does. Amounts, quantities and ids stay text, as the shop and the amount
-- formatter write them; every sum goes through qv_amount(). Dates are "YYYY-MM-DD HH:MM:SS" text.
-- Each create runs only when its table is missing, and a table's seed rows go in with its create.

-- name: table_exists
SELECT COUNT(*) FROM sqlite_master WHERE type IN ('table', 'view') AND name = :name COLLATE NOCASE

-- name: create_orders000
CREATE TABLE Orders000 (
    Order_id nvarchar(15) COLLATE NOCASE NULL,
    Status nvarchar(50) COLLATE NOCASE NULL,
    Post_date datetime NULL,
    Mobile nvarchar(15) COLLATE NOCASE NULL,
    Country nvarchar(50) COLLATE NOCASE NULL,
    Currency nvarchar(5) COLLATE NOCASE NULL,
    Customer_note nvarchar(350) COLLATE NOCASE NULL,
    Customer_user_agent nvarchar(100) COLLATE NOCASE NULL,
    Order_shipping nvarchar(15) COLLATE NOCASE NULL,
    Shipping_tax nvarchar(15) COLLATE NOCASE NULL,
    Shipping_total nvarchar(15) COLLATE NOCASE NULL,
    Cart_tax nvarchar(15) COLLATE NOCASE NULL,
    Tax_total nvarchar(15) COLLATE NOCASE NULL,
    Discount_total nvarchar(15) COLLATE NOCASE NULL,
    Discount_tax nvarchar(15) COLLATE NOCASE NULL,
    Discount nvarchar(15) COLLATE NOCASE NULL,
    Order_Fee nvarchar(15) COLLATE NOCASE NULL,
    Cart_subtotal nvarchar(15) COLLATE NOCASE NULL,
    Order_total nvarchar(100) COLLATE NOCASE NULL,
    Payment_method nvarchar(25) COLLATE NOCASE NULL,
    Billing_email nvarchar(100) COLLATE NOCASE NULL,
    Delivery_date nvarchar(15) COLLATE NOCASE NULL,
    _billing_first_name nvarchar(150) COLLATE NOCASE NULL,
    _billing_last_name nvarchar(150) COLLATE NOCASE NULL,
    _billing_address_1 nvarchar(200) COLLATE NOCASE NULL,
    _billing_address_2 nvarchar(200) COLLATE NOCASE NULL,
    _billing_city nvarchar(100) COLLATE NOCASE NULL,
    _billing_state nvarchar(100) COLLATE NOCASE NULL,
    _billing_postcode nvarchar(100) COLLATE NOCASE NULL,
    _shipping_first_name nvarchar(150) COLLATE NOCASE NULL,
    _shipping_last_name nvarchar(150) COLLATE NOCASE NULL,
    _shipping_address_1 nvarchar(150) COLLATE NOCASE NULL,
    _shipping_address_2 nvarchar(100) COLLATE NOCASE NULL,
    _shipping_city nvarchar(100) COLLATE NOCASE NULL,
    _shipping_state nvarchar(100) COLLATE NOCASE NULL,
    _shipping_postcode nvarchar(100) COLLATE NOCASE NULL
)

-- name: create_copyitems
CREATE TABLE copyitems (
    order_id nvarchar(15) COLLATE NOCASE NULL,
    post_date datetime NULL,
    qty nvarchar(10) COLLATE NOCASE NULL,
    total_tax nvarchar(30) COLLATE NOCASE NULL,
    line_total nvarchar(30) COLLATE NOCASE NULL,
    vat_ratio nvarchar(30) COLLATE NOCASE NULL,
    sku nvarchar(30) COLLATE NOCASE NULL,
    item_name nvarchar(150) COLLATE NOCASE NULL,
    price nvarchar(30) COLLATE NOCASE NULL,
    src nvarchar(800) COLLATE NOCASE NULL
)

-- name: clear_copyitems
delete from copyitems

-- name: create_copyfromexcel
CREATE TABLE copyfromexcel (
    Order_id nvarchar(15) COLLATE NOCASE NULL,
    Post_date datetime NULL,
    Status nvarchar(50) COLLATE NOCASE NULL,
    Mobile nvarchar(15) COLLATE NOCASE NULL,
    Country nvarchar(50) COLLATE NOCASE NULL,
    Currency nvarchar(5) COLLATE NOCASE NULL,
    Customer_note nvarchar(350) COLLATE NOCASE NULL,
    Customer_user_agent nvarchar(100) COLLATE NOCASE NULL,
    Order_shipping nvarchar(15) COLLATE NOCASE NULL,
    Shipping_tax nvarchar(15) COLLATE NOCASE NULL,
    Shipping_total nvarchar(15) COLLATE NOCASE NULL,
    Cart_tax nvarchar(15) COLLATE NOCASE NULL,
    Cart_subtotal nvarchar(15) COLLATE NOCASE NULL,
    Tax_total nvarchar(15) COLLATE NOCASE NULL,
    Discount_Total nvarchar(15) COLLATE NOCASE NULL,
    Discount_Tax nvarchar(15) COLLATE NOCASE NULL,
    Discount nvarchar(15) COLLATE NOCASE NULL,
    Order_Fee nvarchar(15) COLLATE NOCASE NULL,
    Order_total nvarchar(15) COLLATE NOCASE NULL,
    Payment_method nvarchar(25) COLLATE NOCASE NULL,
    Cart_discount nvarchar(25) COLLATE NOCASE NULL,
    Billing_email nvarchar(100) COLLATE NOCASE NULL,
    Delivery_date nvarchar(15) COLLATE NOCASE NULL,
    _billing_first_name nvarchar(150) COLLATE NOCASE NULL,
    _billing_last_name nvarchar(150) COLLATE NOCASE NULL,
    _billing_address_1 nvarchar(200) COLLATE NOCASE NULL,
    _billing_address_2 nvarchar(200) COLLATE NOCASE NULL,
    _billing_city nvarchar(100) COLLATE NOCASE NULL,
    _billing_state nvarchar(100) COLLATE NOCASE NULL,
    _billing_postcode nvarchar(50) COLLATE NOCASE NULL,
    _shipping_first_name nvarchar(150) COLLATE NOCASE NULL,
    _shipping_last_name nvarchar(150) COLLATE NOCASE NULL,
    _shipping_address_1 nvarchar(200) COLLATE NOCASE NULL,
    _shipping_address_2 nvarchar(200) COLLATE NOCASE NULL,
    _shipping_city nvarchar(100) COLLATE NOCASE NULL,
    _shipping_state nvarchar(100) COLLATE NOCASE NULL,
    _shipping_postcode nvarchar(50) COLLATE NOCASE NULL
)

-- name: clear_copyfromexcel
delete from copyfromexcel

-- name: create_orderitems
CREATE TABLE orderitems (
    order_id nvarchar(15) COLLATE NOCASE NULL,
    post_date datetime NULL,
    qty nvarchar(10) COLLATE NOCASE NULL,
    line_total nvarchar(15) COLLATE NOCASE NULL,
    tax_total nvarchar(15) COLLATE NOCASE NULL,
    vat_ratio nvarchar(10) COLLATE NOCASE NULL,
    sku nvarchar(30) COLLATE NOCASE NULL,
    item_name nvarchar(150) COLLATE NOCASE NULL,
    price nvarchar(10) COLLATE NOCASE NULL,
    src nvarchar(800) COLLATE NOCASE NULL
)

-- name: create_products000
CREATE TABLE Products000 (
    id nvarchar(15) COLLATE NOCASE NULL,
    Pname nvarchar(350) COLLATE NOCASE NULL,
    slug nvarchar(350) COLLATE NOCASE NULL,
    permalink nvarchar(550) COLLATE NOCASE NULL,
    date_created datetime NULL,
    date_modified datetime NULL,
    Ptype nvarchar(15) COLLATE NOCASE NULL,
    pstatus nvarchar(15) COLLATE NOCASE NULL,
    featured bit NULL,
    catalog_visibility nvarchar(15) COLLATE NOCASE NULL,
    pdescription text COLLATE NOCASE NULL,
    short_description text COLLATE NOCASE NULL,
    sku nvarchar(65) COLLATE NOCASE NULL,
    price nvarchar(15) COLLATE NOCASE NULL,
    regular_price nvarchar(15) COLLATE NOCASE NULL,
    sale_price nvarchar(15) COLLATE NOCASE NULL,
    date_on_sale_from datetime NULL,
    date_on_sale_to datetime NULL,
    pvirtual bit NULL,
    tax_status nvarchar(15) COLLATE NOCASE NULL,
    tax_class nvarchar(15) COLLATE NOCASE NULL,
    manage_stock bit NULL,
    stock_quantity nvarchar(15) COLLATE NOCASE NULL,
    stock_status nvarchar(15) COLLATE NOCASE NULL,
    tags nvarchar(200) COLLATE NOCASE NULL,
    categories nvarchar(400) COLLATE NOCASE NULL
)

-- name: create_set000
CREATE TABLE set000 (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    element nvarchar(150) COLLATE NOCASE NULL,
    val nvarchar(150) COLLATE NOCASE NULL
);
INSERT INTO set000 (element, val) VALUES
    ('thousands_separator', ','),
    ('decimal_digit_number', '2'),
    ('woocommerce_calc_taxes', 'no'),
    ('woocommerce_prices_include_tax', 'no'),
    ('Program_Will_Process_Tax', 'no');

-- name: create_hiddencolumns000
CREATE TABLE HiddenColumns000 (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    ColumnIndex int NULL,
    IsHidden bit NULL,
    LastWidth int NULL
);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (0, 1, 65);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (1, 1, 100);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (2, 1, 120);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (3, 1, 200);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (4, 0, 52);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (5, 0, 73);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (6, 1, 79);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (7, 0, 76);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (8, 0, 54);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (9, 1, 57);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (10, 0, 61);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (11, 1, 60);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (12, 1, 100);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (13, 0, 150);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (14, 1, 140);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (15, 1, 50);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (16, 0, 50);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (17, 1, 200);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (18, 0, 50);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (19, 0, 50);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (20, 1, 60);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (21, 0, 50);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (22, 0, 50);
INSERT INTO HiddenColumns000 (ColumnIndex, IsHidden, LastWidth) VALUES (23, 0, 50);

-- name: create_orderproductstaxes
CREATE TABLE OrderProductsTaxes (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    order_id nvarchar(15) COLLATE NOCASE NULL,
    label nvarchar(50) COLLATE NOCASE NULL,
    compound bit NULL,
    tax_total nvarchar(15) COLLATE NOCASE NULL,
    shipping_tax_total nvarchar(15) COLLATE NOCASE NULL,
    rate_percent nvarchar(15) COLLATE NOCASE NULL
)

-- name: create_reports000
-- :a4 and :thermal are the documents folder joined with "Quillerby/2.0/Reports/<name>.fr3" by the
-- platform's separator.
CREATE TABLE reports000 (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    TemplateName nvarchar(200) COLLATE NOCASE NULL,
    FilePath nvarchar(200) COLLATE NOCASE NULL,
    defaultRep bit NULL
);
INSERT INTO reports000 (TemplateName, FilePath, defaultRep) VALUES
    ('A4 Design', :a4, 1),
    ('Thermal paper size', :thermal, 0);

-- name: create_taxes000
CREATE TABLE taxes000 (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TaxeName nvarchar(100) COLLATE NOCASE NULL,
    Rate decimal(18, 4) NULL DEFAULT 1,
    Priority int NULL DEFAULT 0,
    compound bit NULL DEFAULT 0,
    shipping bit NULL DEFAULT 0
)

-- name: create_websites000
CREATE TABLE websites000 (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    website nvarchar(255) COLLATE NOCASE NULL,
    consumer_key nvarchar(255) COLLATE NOCASE NULL,
    consumer_secret nvarchar(255) COLLATE NOCASE NULL,
    currency nvarchar(40) COLLATE NOCASE NULL
)

-- name: create_indexes
CREATE INDEX IF NOT EXISTS IX_Orders000_Order_id ON Orders000 (Order_id);
CREATE INDEX IF NOT EXISTS IX_Orders000_Mobile ON Orders000 (Mobile);
CREATE INDEX IF NOT EXISTS IX_Orders000_Billing_email ON Orders000 (Billing_email);
CREATE INDEX IF NOT EXISTS IX_Orders000_Status_Post_date ON Orders000 (Status, Post_date);
CREATE INDEX IF NOT EXISTS IX_Orders000_Post_date ON Orders000 (Post_date);
CREATE INDEX IF NOT EXISTS IX_orderitems_order_id ON orderitems (order_id);
CREATE INDEX IF NOT EXISTS IX_Products000_id ON Products000 (id);
CREATE INDEX IF NOT EXISTS IX_Products000_date_modified ON Products000 (date_modified);

-- name: month_totals_view_exists
SELECT COUNT(*) AS present FROM sqlite_master WHERE type = 'view' AND name = 'OrderTotalsByMonthYear1' COLLATE NOCASE

-- name: drop_month_totals_view
DROP VIEW IF EXISTS OrderTotalsByMonthYear1

-- name: month_totals_years
SELECT DISTINCT CAST(strftime('%Y', post_date) AS INTEGER) AS year FROM Orders000
WHERE status = 'completed' AND post_date IS NOT NULL ORDER BY year

-- name: month_totals_view
-- {columns} is the per-year column list the program builds from the years found.
CREATE VIEW OrderTotalsByMonthYear1 AS
SELECT CAST(strftime('%m', o.post_date) AS INTEGER) AS month,
       CASE strftime('%m', o.post_date)
           WHEN '01' THEN 'January' WHEN '02' THEN 'February' WHEN '03' THEN 'March'
           WHEN '04' THEN 'April' WHEN '05' THEN 'May' WHEN '06' THEN 'June'
           WHEN '07' THEN 'July' WHEN '08' THEN 'August' WHEN '09' THEN 'September'
           WHEN '10' THEN 'October' WHEN '11' THEN 'November' WHEN '12' THEN 'December'
       END AS month_name,
       {columns}
FROM Orders000 o
INNER JOIN (SELECT DISTINCT CAST(strftime('%Y', post_date) AS INTEGER) AS year FROM Orders000
            WHERE status = 'completed') y ON CAST(strftime('%Y', o.post_date) AS INTEGER) = y.year
WHERE o.status = 'completed'
GROUP BY CAST(strftime('%m', o.post_date) AS INTEGER), month_name

-- name: return_customer_view
CREATE VIEW IF NOT EXISTS ReturnCustomer AS
WITH last_orders AS (
    SELECT mobile, MAX(post_date) AS last_order_date
    FROM Orders000
    WHERE status = 'completed'
    GROUP BY mobile
)
SELECT o.mobile AS mobile,
       COUNT(*) AS num_orders,
       SUM(qv_amount(o.order_total)) AS total_orders,
       l.last_order_date AS last_order_date,
       MAX(CASE WHEN o.post_date = l.last_order_date THEN o._billing_first_name END) AS last_order_customer_name
FROM Orders000 o
JOIN last_orders l ON o.mobile = l.mobile
WHERE o.status = 'completed'
GROUP BY o.mobile, l.last_order_date
