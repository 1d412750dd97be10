Declare @i int, @s nvarchar(20); Set @i = 0;
While @i < 3 Begin Set @i = @i + 1; If @i = 2 Continue; End
/* comment */ Select @s = Cast(@i As varchar(6)) + 'x';
if @@Error <> 0 Begin GoTo BRK End;
Begin Tran; Update Version Set Version = Version + 1; Commit Tran;
BRK: Select @s As Result, Case When @i > 2 Then 'big' Else 'small' End
