-- name: settings_query
-- One row with the five settings; a missing element comes back NULL. The digit count comes back as text and
-- is checked by the reader (the server's CAST would fail the query on a value that is not whole).
SELECT (SELECT val FROM set000 WHERE element = 'thousands_separator') AS thousands,
       (SELECT val FROM set000 WHERE element = 'decimal_digit_number') AS digitnum,
       (SELECT val FROM set000 WHERE element = 'woocommerce_calc_taxes') AS taxEnabled,
       (SELECT val FROM set000 WHERE element = 'woocommerce_prices_include_tax') AS PriceIncludeTax,
       (SELECT val FROM set000 WHERE element = 'Program_Will_Process_Tax') AS ProgramWillProcessTax
