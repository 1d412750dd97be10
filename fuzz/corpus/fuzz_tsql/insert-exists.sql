Insert Into Customer(CustomerCode, CustomerName) Values(N'M1', N'O''Neil');
If Not Exists (Select 1 From InvoiceHead Where OnlineOrderId = N'5001') Select Count(*) From InvoiceItem Where Qty Between 1 And 5;
Delete From RecvAcct Where InvoiceNo In (Select InvoiceNo From InvoiceHead Where Amount > 1.5E2);
