-- name: create_database
-- Runs on master. The local database always has this name and a
-- case-insensitive Arabic collation, so text comparisons ignore case.
IF NOT EXISTS (SELECT name FROM sys.databases WHERE name = 'Qv000')
    CREATE DATABASE Qv000 COLLATE Arabic_CI_AS;

-- name: schema
-- Runs on the local database. Parameter s is the documents folder without a
-- trailing backslash. Every object is created only when missing and seed rows
-- go in only with the table that receives them, so the batch can run any
-- number of times. The two working tables are emptied on every run.
--
-- NOCOUNT keeps row counts out of the result stream, so that the driver
-- reports an error raised anywhere in the batch to the caller.
--
-- The parameters are read once into variables, because a named parameter may
-- appear only once in the batch text. The separator is the client platform's.
SET NOCOUNT ON;
DECLARE @docs nvarchar(400) = :s;
DECLARE @sep nchar(1) = :sep;

-- 1. Order history headers.
IF OBJECT_ID(N'dbo.Orders000', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[Orders000] (
        [Order_id]             [nvarchar](15)  NULL,
        [Status]               [nvarchar](50)  NULL,
        [Post_date]            [datetime]      NULL,
        [Mobile]               [nvarchar](15)  NULL,
        [Country]              [nvarchar](50)  NULL,
        [Currency]             [nvarchar](5)   NULL,
        [Customer_note]        [nvarchar](350) NULL,
        [Customer_user_agent]  [nvarchar](100) NULL,
        [Order_shipping]       [nvarchar](15)  NULL,
        [Shipping_tax]         [nvarchar](15)  NULL,
        [Shipping_total]       [nvarchar](15)  NULL,
        [Cart_tax]             [nvarchar](15)  NULL,
        [Tax_total]            [nvarchar](15)  NULL,
        [Discount_total]       [nvarchar](15)  NULL,
        [Discount_tax]         [nvarchar](15)  NULL,
        [Discount]             [nvarchar](15)  NULL,
        [Order_Fee]            [nvarchar](15)  NULL,
        [Cart_subtotal]        [nvarchar](15)  NULL,
        [Order_total]          [nvarchar](100) NULL,
        [Payment_method]       [nvarchar](25)  NULL,
        [Billing_email]        [nvarchar](100) NULL,
        [Delivery_date]        [nvarchar](15)  NULL,
        [_billing_first_name]  [nvarchar](150) NULL,
        [_billing_last_name]   [nvarchar](150) NULL,
        [_billing_address_1]   [nvarchar](200) NULL,
        [_billing_address_2]   [nvarchar](200) NULL,
        [_billing_city]        [nvarchar](100) NULL,
        [_billing_state]       [nvarchar](100) NULL,
        [_billing_postcode]    [nvarchar](100) NULL,
        [_shipping_first_name] [nvarchar](150) NULL,
        [_shipping_last_name]  [nvarchar](150) NULL,
        [_shipping_address_1]  [nvarchar](150) NULL,
        [_shipping_address_2]  [nvarchar](100) NULL,
        [_shipping_city]       [nvarchar](100) NULL,
        [_shipping_state]      [nvarchar](100) NULL,
        [_shipping_postcode]   [nvarchar](100) NULL
    );
END;

-- 2. Working table, line items of the orders waiting to be processed.
-- Column order matters, the accounting database holds a copy of the same shape.
IF OBJECT_ID(N'dbo.copyitems', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[copyitems] (
        [order_id]   [nvarchar](15)  NULL,
        [post_date]  [datetime]      NULL,
        [qty]        [nvarchar](10)  NULL,
        [total_tax]  [nvarchar](30)  NULL,
        [line_total] [nvarchar](30)  NULL,
        [vat_ratio]  [nvarchar](30)  NULL,
        [sku]        [nvarchar](30)  NULL,
        [item_name]  [nvarchar](150) NULL,
        [price]      [nvarchar](30)  NULL,
        [src]        [nvarchar](800) NULL
    );
END;

-- 3.
delete from [dbo].[copyitems];

-- 4. Working table, headers of the orders waiting to be processed.
-- Column order matters, the accounting database holds a copy of the same shape.
IF OBJECT_ID(N'dbo.copyfromexcel', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[copyfromexcel] (
        [Order_id]             [nvarchar](15)  NULL,
        [Post_date]            [datetime]      NULL,
        [Status]               [nvarchar](50)  NULL,
        [Mobile]               [nvarchar](15)  NULL,
        [Country]              [nvarchar](50)  NULL,
        [Currency]             [nvarchar](5)   NULL,
        [Customer_note]        [nvarchar](350) NULL,
        [Customer_user_agent]  [nvarchar](100) NULL,
        [Order_shipping]       [nvarchar](15)  NULL,
        [Shipping_tax]         [nvarchar](15)  NULL,
        [Shipping_total]       [nvarchar](15)  NULL,
        [Cart_tax]             [nvarchar](15)  NULL,
        [Cart_subtotal]        [nvarchar](15)  NULL,
        [Tax_total]            [nvarchar](15)  NULL,
        [Discount_Total]       [nvarchar](15)  NULL,
        [Discount_Tax]         [nvarchar](15)  NULL,
        [Discount]             [nvarchar](15)  NULL,
        [Order_Fee]            [nvarchar](15)  NULL,
        [Order_total]          [nvarchar](15)  NULL,
        [Payment_method]       [nvarchar](25)  NULL,
        [Cart_discount]        [nvarchar](25)  NULL,
        [Billing_email]        [nvarchar](100) NULL,
        [Delivery_date]        [nvarchar](15)  NULL,
        [_billing_first_name]  [nvarchar](150) NULL,
        [_billing_last_name]   [nvarchar](150) NULL,
        [_billing_address_1]   [nvarchar](200) NULL,
        [_billing_address_2]   [nvarchar](200) NULL,
        [_billing_city]        [nvarchar](100) NULL,
        [_billing_state]       [nvarchar](100) NULL,
        [_billing_postcode]    [nvarchar](50)  NULL,
        [_shipping_first_name] [nvarchar](150) NULL,
        [_shipping_last_name]  [nvarchar](150) NULL,
        [_shipping_address_1]  [nvarchar](200) NULL,
        [_shipping_address_2]  [nvarchar](200) NULL,
        [_shipping_city]       [nvarchar](100) NULL,
        [_shipping_state]      [nvarchar](100) NULL,
        [_shipping_postcode]   [nvarchar](50)  NULL
    );
END;

-- 5.
delete from [dbo].[copyfromexcel];

-- 6. Order history line items.
IF OBJECT_ID(N'dbo.orderitems', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[orderitems] (
        [order_id]   [nvarchar](15)  NULL,
        [post_date]  [datetime]      NULL,
        [qty]        [nvarchar](10)  NULL,
        [line_total] [nvarchar](15)  NULL,
        [tax_total]  [nvarchar](15)  NULL,
        [vat_ratio]  [nvarchar](10)  NULL,
        [sku]        [nvarchar](30)  NULL,
        [item_name]  [nvarchar](150) NULL,
        [price]      [nvarchar](10)  NULL,
        [src]        [nvarchar](800) NULL
    );
END;

-- 7. Product catalogue.
IF OBJECT_ID(N'dbo.Products000', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[Products000] (
        [id]                 [nvarchar](15)  NULL,
        [Pname]              [nvarchar](350) NULL,
        [slug]               [nvarchar](350) NULL,
        [permalink]          [nvarchar](550) NULL,
        [date_created]       [datetime]      NULL,
        [date_modified]      [datetime]      NULL,
        [Ptype]              [nvarchar](15)  NULL,
        [pstatus]            [nvarchar](15)  NULL,
        [featured]           [bit]           NULL,
        [catalog_visibility] [nvarchar](15)  NULL,
        [pdescription]       [text]          NULL,
        [short_description]  [text]          NULL,
        [sku]                [nvarchar](65)  NULL,
        [price]              [nvarchar](15)  NULL,
        [regular_price]      [nvarchar](15)  NULL,
        [sale_price]         [nvarchar](15)  NULL,
        [date_on_sale_from]  [datetime]      NULL,
        [date_on_sale_to]    [datetime]      NULL,
        [pvirtual]           [bit]           NULL,
        [tax_status]         [nvarchar](15)  NULL,
        [tax_class]          [nvarchar](15)  NULL,
        [manage_stock]       [bit]           NULL,
        [stock_quantity]     [nvarchar](15)  NULL,
        [stock_status]       [nvarchar](15)  NULL,
        [tags]               [nvarchar](200) NULL,
        [categories]         [nvarchar](400) NULL
    );
END;

-- 8. Program settings, seeded with their defaults.
IF OBJECT_ID(N'dbo.set000', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[set000] (
        [Id]      [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
        [element] [nvarchar](150) NULL,
        [val]     [nvarchar](150) NULL
    );
    INSERT INTO [dbo].[set000] ([element], [val]) VALUES
        (N'thousands_separator', N','),
        (N'decimal_digit_number', N'2'),
        (N'woocommerce_calc_taxes', N'no'),
        (N'woocommerce_prices_include_tax', N'no'),
        (N'Program_Will_Process_Tax', N'no');
END;

-- 9. Layout of the processed-orders list, one row per list column.
-- IsHidden 1 means the column is shown.
-- The three tables created without a schema name in earlier versions
-- (HiddenColumns000, reports000, websites000) are named in dbo here, the
-- schema their existence tests look in.
IF OBJECT_ID(N'dbo.HiddenColumns000', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[HiddenColumns000] (
        [Id]          [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
        [ColumnIndex] [int] NULL,
        [IsHidden]    [bit] NULL,
        [LastWidth]   [int] NULL
    );
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (0, 1, 65);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (1, 1, 100);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (2, 1, 120);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (3, 1, 200);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (4, 0, 52);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (5, 0, 73);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (6, 1, 79);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (7, 0, 76);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (8, 0, 54);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (9, 1, 57);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (10, 0, 61);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (11, 1, 60);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (12, 1, 100);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (13, 0, 150);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (14, 1, 140);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (15, 1, 50);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (16, 0, 50);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (17, 1, 200);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (18, 0, 50);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (19, 0, 50);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (20, 1, 60);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (21, 0, 50);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (22, 0, 50);
    INSERT INTO [dbo].[HiddenColumns000] ([ColumnIndex], [IsHidden], [LastWidth]) VALUES (23, 0, 50);
END;

-- 10. Tax lines of the orders retrieved for processing.
IF OBJECT_ID(N'dbo.OrderProductsTaxes', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[OrderProductsTaxes] (
        [ID]                 [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
        [order_id]           [nvarchar](15) NULL,
        [label]              [nvarchar](50) NULL,
        [compound]           [bit]          NULL,
        [tax_total]          [nvarchar](15) NULL,
        [shipping_tax_total] [nvarchar](15) NULL,
        [rate_percent]       [nvarchar](15) NULL
    );
END;

-- 11. Invoice templates, seeded with the two that the installation places
-- in the documents folder. A4 Design is the default.
IF OBJECT_ID(N'[dbo].[reports000]', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[reports000] (
        [id]           [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
        [TemplateName] [nvarchar](200) NULL,
        [FilePath]     [nvarchar](200) NULL,
        [defaultRep]   [bit]           NULL
    );
    DECLARE @a4path nvarchar(400);
    DECLARE @thermalpath nvarchar(400);
    SET @a4path = @docs + @sep + N'Quillerby' + @sep + N'2.0' + @sep + N'Reports' + @sep + N'A4 Design.fr3';
    SET @thermalpath = @docs + @sep + N'Quillerby' + @sep + N'2.0' + @sep + N'Reports' + @sep + N'Thermal paper size.fr3';
    INSERT INTO [dbo].[reports000] ([TemplateName], [FilePath], [defaultRep]) VALUES
        (N'A4 Design', @a4path, 1),
        (N'Thermal paper size', @thermalpath, 0);
END;

-- 12. Taxes applied when the program computes taxes itself. Rates keep four
-- decimals so that a rate such as 7.5 is stored as typed.
IF OBJECT_ID(N'dbo.Taxes000', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[taxes000] (
        [ID]       [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
        [TaxeName] [nvarchar](100) NULL,
        [Rate]     [decimal](18, 4) NULL DEFAULT ((1)),
        [Priority] [int]            NULL DEFAULT ((0)),
        [compound] [bit]            NULL DEFAULT ((0)),
        [shipping] [bit]            NULL DEFAULT ((0))
    );
END;

-- 13. Shop connection. The first row returned is the one in use.
IF OBJECT_ID(N'dbo.Websites000', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[websites000] (
        [Id]              [int] IDENTITY(1,1) NOT NULL PRIMARY KEY,
        [website]         [nvarchar](255) NULL,
        [consumer_key]    [nvarchar](255) NULL,
        [consumer_secret] [nvarchar](255) NULL,
        [currency]        [nvarchar](40)  NULL
    );
END;

-- Amount reader. Amounts are stored as text, either formatted by the program
-- (1,234,567.89, or 1.234.567,89 with the regional separators swapped) or as
-- the shop sent them (1234.50). This is the same rule the program applies in
-- C++, so both read a stored amount alike.
--   NULL gives NULL. Surrounding spaces are ignored.
--   Comma and point both present, the one occurring last is the decimal
--   point and the other is a group separator, removed.
--   Only commas, more than one is a group separator. A single comma followed
--   by exactly three characters is a group separator, otherwise it is the
--   decimal point.
--   Only points, more than one is a group separator, one is the decimal point.
-- The cleaned text goes through CAST, not TRY_CAST, so a text that is not a
-- number raises the conversion error instead of counting as 0 or NULL.
-- Searches use a binary collation so that only the two characters themselves
-- match, whatever the database collation says.
IF OBJECT_ID(N'dbo.qv_amount', N'FN') IS NULL
    EXEC sp_executesql N'CREATE FUNCTION dbo.qv_amount(@t nvarchar(100))
RETURNS decimal(38,10)
WITH SCHEMABINDING
AS
BEGIN
    -- A NULL input passes through every step below and comes back NULL.
    DECLARE @s nvarchar(100) = LTRIM(RTRIM(@t));
    DECLARE @commas int = (DATALENGTH(@s) - DATALENGTH(REPLACE(@s COLLATE Latin1_General_BIN2, N'','', N''''))) / 2;
    DECLARE @points int = (DATALENGTH(@s) - DATALENGTH(REPLACE(@s COLLATE Latin1_General_BIN2, N''.'', N''''))) / 2;
    IF @commas > 0 AND @points > 0
    BEGIN
        -- In the reversed text the separator found first is the one occurring last.
        IF CHARINDEX(N'','', REVERSE(@s) COLLATE Latin1_General_BIN2) < CHARINDEX(N''.'', REVERSE(@s) COLLATE Latin1_General_BIN2)
            SET @s = REPLACE(REPLACE(@s COLLATE Latin1_General_BIN2, N''.'', N''''), N'','', N''.'');
        ELSE
            SET @s = REPLACE(@s COLLATE Latin1_General_BIN2, N'','', N'''');
    END
    ELSE IF @commas > 0
    BEGIN
        IF @commas > 1 OR LEN(@s) - CHARINDEX(N'','', @s COLLATE Latin1_General_BIN2) = 3
            SET @s = REPLACE(@s COLLATE Latin1_General_BIN2, N'','', N'''');
        ELSE
            SET @s = REPLACE(@s COLLATE Latin1_General_BIN2, N'','', N''.'');
    END
    ELSE IF @points > 1
        SET @s = REPLACE(@s COLLATE Latin1_General_BIN2, N''.'', N'''');
    RETURN CAST(@s AS decimal(38,10));
END';

-- Indexes for the look-ups, joins and views: order id, phone, e-mail,
-- status with date, line items by order, products by id.
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'IX_Orders000_Order_id' AND object_id = OBJECT_ID('dbo.Orders000'))
    CREATE NONCLUSTERED INDEX [IX_Orders000_Order_id] ON [dbo].[Orders000] ([Order_id]);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'IX_Orders000_Mobile' AND object_id = OBJECT_ID('dbo.Orders000'))
    CREATE NONCLUSTERED INDEX [IX_Orders000_Mobile] ON [dbo].[Orders000] ([Mobile]);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'IX_Orders000_Billing_email' AND object_id = OBJECT_ID('dbo.Orders000'))
    CREATE NONCLUSTERED INDEX [IX_Orders000_Billing_email] ON [dbo].[Orders000] ([Billing_email]);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'IX_Orders000_Status_Post_date' AND object_id = OBJECT_ID('dbo.Orders000'))
    CREATE NONCLUSTERED INDEX [IX_Orders000_Status_Post_date] ON [dbo].[Orders000] ([Status], [Post_date]);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'IX_orderitems_order_id' AND object_id = OBJECT_ID('dbo.orderitems'))
    CREATE NONCLUSTERED INDEX [IX_orderitems_order_id] ON [dbo].[orderitems] ([order_id]);
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = 'IX_Products000_id' AND object_id = OBJECT_ID('dbo.Products000'))
    CREATE NONCLUSTERED INDEX [IX_Products000_id] ON [dbo].[Products000] ([id]);

SET NOCOUNT OFF;

-- name: copy_tables
-- Runs on the accounting database when the integration is on. Same shapes
-- as the local working tables, so that rows copy across with SELECT *.
-- These copies are never emptied here.
IF OBJECT_ID(N'dbo.copyitems', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[copyitems] (
        [order_id]   [nvarchar](15)  NULL,
        [post_date]  [datetime]      NULL,
        [qty]        [nvarchar](10)  NULL,
        [total_tax]  [nvarchar](30)  NULL,
        [line_total] [nvarchar](30)  NULL,
        [vat_ratio]  [nvarchar](30)  NULL,
        [sku]        [nvarchar](30)  NULL,
        [item_name]  [nvarchar](150) NULL,
        [price]      [nvarchar](30)  NULL,
        [src]        [nvarchar](800) NULL
    );
END;

IF OBJECT_ID(N'dbo.copyfromexcel', N'U') IS NULL
BEGIN
    CREATE TABLE [dbo].[copyfromexcel] (
        [Order_id]             [nvarchar](15)  NULL,
        [Post_date]            [datetime]      NULL,
        [Status]               [nvarchar](50)  NULL,
        [Mobile]               [nvarchar](15)  NULL,
        [Country]              [nvarchar](50)  NULL,
        [Currency]             [nvarchar](5)   NULL,
        [Customer_note]        [nvarchar](350) NULL,
        [Customer_user_agent]  [nvarchar](100) NULL,
        [Order_shipping]       [nvarchar](15)  NULL,
        [Shipping_tax]         [nvarchar](15)  NULL,
        [Shipping_total]       [nvarchar](15)  NULL,
        [Cart_tax]             [nvarchar](15)  NULL,
        [Cart_subtotal]        [nvarchar](15)  NULL,
        [Tax_total]            [nvarchar](15)  NULL,
        [Discount_Total]       [nvarchar](15)  NULL,
        [Discount_Tax]         [nvarchar](15)  NULL,
        [Discount]             [nvarchar](15)  NULL,
        [Order_Fee]            [nvarchar](15)  NULL,
        [Order_total]          [nvarchar](15)  NULL,
        [Payment_method]       [nvarchar](25)  NULL,
        [Cart_discount]        [nvarchar](25)  NULL,
        [Billing_email]        [nvarchar](100) NULL,
        [Delivery_date]        [nvarchar](15)  NULL,
        [_billing_first_name]  [nvarchar](150) NULL,
        [_billing_last_name]   [nvarchar](150) NULL,
        [_billing_address_1]   [nvarchar](200) NULL,
        [_billing_address_2]   [nvarchar](200) NULL,
        [_billing_city]        [nvarchar](100) NULL,
        [_billing_state]       [nvarchar](100) NULL,
        [_billing_postcode]    [nvarchar](50)  NULL,
        [_shipping_first_name] [nvarchar](150) NULL,
        [_shipping_last_name]  [nvarchar](150) NULL,
        [_shipping_address_1]  [nvarchar](200) NULL,
        [_shipping_address_2]  [nvarchar](200) NULL,
        [_shipping_city]       [nvarchar](100) NULL,
        [_shipping_state]      [nvarchar](100) NULL,
        [_shipping_postcode]   [nvarchar](50)  NULL
    );
END;

-- name: month_totals_view_exists
SELECT CASE WHEN OBJECT_ID('dbo.OrderTotalsByMonthYear1', 'V') IS NULL THEN 0 ELSE 1 END AS present

-- name: drop_month_totals_view
IF OBJECT_ID('dbo.OrderTotalsByMonthYear1', 'V') IS NOT NULL drop view OrderTotalsByMonthYear1

-- name: month_totals_years
SELECT DISTINCT DATEPART(year, post_date) AS year FROM dbo.Orders000 WHERE status = 'completed' ORDER BY year

-- name: month_totals_view
-- The program splices into the select list below the year columns it builds
-- from the years above, in ascending order, two per year, for example
--   SUM(CASE WHEN DATEPART(year, o.post_date) = 2023 THEN CAST(dbo.qv_amount(o.order_total) AS decimal(18, 2)) ELSE 0 END) AS [2023],
--   SUM(CASE WHEN DATEPART(year, o.post_date) = 2023 THEN CAST(dbo.qv_amount(o.order_shipping) AS decimal(18, 2)) ELSE 0 END) AS [order_shipping_total_2023]
-- That text holds no quote characters, so it can sit inside the literal.
-- Amounts go through dbo.qv_amount before the cast to decimal(18, 2), where a
-- plain CAST of the stored text would fail on grouped amounts of 1,000 and more.
-- With no completed orders there are no year columns, and the program does
-- not run this statement.
EXEC sp_executesql N'CREATE VIEW OrderTotalsByMonthYear1 AS
SELECT DATEPART(month, o.post_date) AS month,
       DATENAME(month, o.post_date) AS month_name,
       {columns}
FROM dbo.Orders000 o
INNER JOIN (SELECT DISTINCT DATEPART(year, post_date) AS year
            FROM dbo.Orders000
            WHERE status = ''completed'') y
    ON DATEPART(year, o.post_date) = y.year
WHERE o.status = ''completed''
GROUP BY DATEPART(month, o.post_date), DATENAME(month, o.post_date)'

-- name: return_customer_view
-- Completed orders grouped by customer phone. Orders without a phone drop out.
-- total_orders reads each amount through dbo.qv_amount before the cast to
-- FLOAT, where a plain CAST of the stored text would fail on grouped amounts
-- of 1,000 and more.
IF OBJECT_ID('dbo.ReturnCustomer', 'V') IS NULL
    EXEC sp_executesql N'CREATE VIEW ReturnCustomer AS
WITH last_orders AS (
    SELECT mobile, MAX(post_date) AS last_order_date
    FROM dbo.Orders000
    WHERE status = ''completed''
    GROUP BY mobile
)
SELECT o.mobile AS mobile,
       COUNT(*) AS num_orders,
       SUM(CAST(dbo.qv_amount(o.order_total) AS FLOAT)) AS total_orders,
       l.last_order_date AS last_order_date,
       MAX(CASE WHEN o.post_date = l.last_order_date THEN o._billing_first_name END) AS last_order_customer_name
FROM dbo.Orders000 o
INNER JOIN last_orders l ON o.mobile = l.mobile
WHERE o.status = ''completed''
GROUP BY o.mobile, l.last_order_date'
