Select Top 5 p.ProductCode, p.Description, IsNull(p.StockQty1, 0) As Qty From Product p
Left Join Category c On c.CategoryCode = p.Category Where p.ProductCode Like N'BE%' And p.Live = 1
Order By p.ProductCode Desc;
