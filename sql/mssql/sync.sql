-- name: order_sync_start
declare @i int
declare @s  datetime
set @i=(select count(*) as orderstotal from [orders000] )
if @i>0
 begin
   set @s=(select MAX( [post_date] )    from orders000)
   set @s= DATEADD(second, 1, @s)
   select top 1 @i as orderstotal, CONVERT(datetime, @s, 126) AS post_date, order_id from orders000 order by [order_id]   desc
  end
  else
    select @i as orderstotal

-- name: product_sync_start
declare @i int
declare @s  datetime
set @i=(select count(*) from [Products000] )
if @i>0
 begin
   set @s=(select MAX( [date_modified] ) from Products000)
   set @s= DATEADD(second, 1, @s)
   select @i as productstotal, CONVERT(datetime, @s, 126) AS post_date
  end
  else
    select @i as productstotal

-- name: sync_state_ensure
-- Where an interrupted synchronisation must start again: kept from a run's start to its successful end.
IF OBJECT_ID(N'dbo.syncstate000', N'U') IS NULL
CREATE TABLE [dbo].[syncstate000] (
    [name] [nvarchar](50) NOT NULL PRIMARY KEY,
    [resume_after] [nvarchar](19) NULL
)
