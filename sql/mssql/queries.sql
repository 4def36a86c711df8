-- name: settings_query
declare
@thousands nvarchar(5),
@digitnum int,
@taxEnabled nvarchar(3),
@PriceIncludeTax nvarchar(3),
@ProgramWillProcessTax nvarchar(3)
set @thousands=(select val  from dbo.set000 where element='thousands_separator')
set  @digitnum=cast((select val  from  set000 where element='decimal_digit_number') as int)
set @taxEnabled=(select val  from dbo.set000 where element='woocommerce_calc_taxes')
set @PriceincludeTax=(select val  from dbo.set000 where element='woocommerce_prices_include_tax')
set @ProgramWillProcessTax=(select val  from dbo.set000 where element='Program_Will_Process_Tax')
select @thousands as thousands,@digitnum as digitnum,@taxEnabled as taxEnabled,@PriceIncludeTax as PriceIncludeTax, @ProgramWillProcessTax as ProgramWillProcessTax 

-- name: websites_first
select * from websites000 

-- name: default_report_path
select filepath from reports000 where defaultrep=1
