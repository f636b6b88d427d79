{ Lists a dBase table as Free Pascal's TDbf reads it, for the interoperability test:
    listar_tdbf <folder> <file>
  prints one line per field ("campo NAME TYPE WIDTH DECIMALS", TYPE being the dBase
  letter) and then one line per row and field ("NAME=value"), with a line "fila" before
  each row. A null value prints as nothing, a logical as T or F, numbers in the shortest
  form FloatToStr gives; text is printed as the bytes the table holds. }
program listar_tdbf;

{$mode objfpc}{$H+}

uses
  SysUtils, db, dbf, dbf_fields;

var
  Tabla: TDbf;
  i: Integer;
  Campo: TField;
  Def: TDbfFieldDef;
  Fmt: TFormatSettings;

function Valor(F: TField): RawByteString;
begin
  if F.IsNull then
    Result := ''
  else if F.DataType = ftBoolean then
  begin
    if F.AsBoolean then Result := 'T' else Result := 'F';
  end
  else if F.DataType in [ftFloat, ftCurrency, ftBCD] then
    Result := FloatToStr(F.AsFloat, Fmt)
  else
    Result := F.AsString;
end;

begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'uso: listar_tdbf <carpeta> <archivo>');
    Halt(2);
  end;
  Fmt := DefaultFormatSettings;
  Fmt.DecimalSeparator := '.';
  Tabla := TDbf.Create(nil);
  try
    Tabla.FilePathFull := IncludeTrailingPathDelimiter(ParamStr(1));
    Tabla.TableName := ParamStr(2);
    Tabla.ReadOnly := True;
    Tabla.Open;
    WriteLn('nivel ', Tabla.TableLevel);
    for i := 0 to Tabla.DbfFieldDefs.Count - 1 do
    begin
      Def := Tabla.DbfFieldDefs.Items[i];
      WriteLn('campo ', Def.FieldName, ' ', Def.NativeFieldType, ' ', Def.Size, ' ', Def.Precision);
    end;
    Tabla.First;
    while not Tabla.EOF do
    begin
      WriteLn('fila');
      for i := 0 to Tabla.FieldCount - 1 do
      begin
        Campo := Tabla.Fields[i];
        WriteLn(Campo.FieldName, '=', Valor(Campo));
      end;
      Tabla.Next;
    end;
    Tabla.Close;
  finally
    Tabla.Free;
  end;
end.
