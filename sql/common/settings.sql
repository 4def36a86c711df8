-- name: update_tax_processing
update set000 set val=:val where element='Program_Will_Process_Tax'

-- name: update_thousands_separator
update set000 set val=:val where element='thousands_separator'

-- name: update_decimal_digits
update set000 set val=:val where element='decimal_digit_number'

-- name: store_by_secret
select * from websites000 where consumer_secret = :secret

-- name: insert_store
-- One statement decides and inserts, so two store tests at once cannot both add the same secret.
insert into websites000 (website, consumer_key,consumer_secret,currency)
select :website, :key, :secret, :currency
where not exists (select 1 from websites000 where consumer_secret = :secret_again)
