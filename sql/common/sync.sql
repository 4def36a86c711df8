-- name: order_lookup
select order_id,status from orders000 where order_id=:id

-- name: order_update_status
UPDATE orders000 SET status=:status where order_id=:id

-- name: order_delete
delete from orders000 where order_id=:id

-- name: order_insert
INSERT INTO Orders000 (Order_id, Status, Currency, Post_date, Customer_note, Order_total, Order_shipping,
                       Payment_method, Customer_user_agent, _billing_first_name, _billing_city, Country,
                       _billing_address_1, Mobile, Billing_email, Delivery_date)
VALUES (:order_id, :status, :currency, :post_date, :customer_note, :order_total, :order_shipping,
        :payment_method, :customer_user_agent, :billing_first_name, :billing_city, :country,
        :billing_address_1, :mobile, :billing_email, :delivery_date)

-- name: orderitem_insert
INSERT INTO orderitems (order_id,post_date,qty,line_total,sku,item_name,price,src)
 VALUES                  (:order_id,:post_date,:qty,:line_total,:sku,:Item_name,:price,:src)

-- name: product_delete
delete from Products000 where id=:s

-- name: product_insert
INSERT INTO Products000 (id, Pname, slug, permalink, date_created, date_modified, Ptype, pstatus, featured,
                         catalog_visibility, pdescription, short_description, sku, price, regular_price,
                         sale_price, pvirtual, tax_status, tax_class, manage_stock, stock_quantity, stock_status,
                         categories)
VALUES (:id, :Pname, :slug, :permalink, :date_created, :date_modified, :Ptype, :pstatus, :featured,
        :catalog_visibility, :pdescription, :short_description, :sku, :price, :regular_price, :sale_price,
        :pvirtual, :tax_status, :tax_class, :manage_stock, :stock_quantity, :stock_status, :categories)

-- name: product_list
select * from products000

-- name: sync_resume_get
select resume_after from syncstate000 where name=:name

-- name: sync_resume_delete
delete from syncstate000 where name=:name

-- name: sync_resume_insert
insert into syncstate000 (name, resume_after) values (:name, :after)
