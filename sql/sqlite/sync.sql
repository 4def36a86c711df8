-- name: order_sync_start
-- Number of stored orders, the newest order date plus one second (no fraction), and the greatest stored
-- order number in text order ("999" after "1000").
SELECT COUNT(*) AS orderstotal,
       strftime('%Y-%m-%d %H:%M:%S', MAX(post_date), '+1 second') AS post_date,
       (SELECT order_id FROM Orders000 ORDER BY order_id DESC LIMIT 1) AS order_id
FROM Orders000

-- name: product_sync_start
SELECT COUNT(*) AS productstotal,
       strftime('%Y-%m-%d %H:%M:%S', MAX(date_modified), '+1 second') AS post_date
FROM Products000

-- name: sync_state_ensure
-- Where an interrupted synchronisation must start again: kept from a run's start to its successful end.
CREATE TABLE IF NOT EXISTS syncstate000 (
    name nvarchar(50) COLLATE NOCASE PRIMARY KEY,
    resume_after nvarchar(19) NULL
)
