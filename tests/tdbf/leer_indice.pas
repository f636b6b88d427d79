{ Walks a table through one tag of its production index as Free Pascal's TDbf reads it,
  for the index interoperability test:
    leer_indice <folder> <file> <tag>
  prints one line per tag TDbf found ("etiqueta NAME"), then, walking in the order of
  <tag>, one line per row: "fila RECNO NSES DURACION" (RECNO the physical record number). }
program leer_indice;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, db, dbf;

var
  Tabla: TDbf;
  Etiquetas: TStringList;
  i: Integer;

begin
  if ParamCount <> 3 then
  begin
    WriteLn(StdErr, 'uso: leer_indice <carpeta> <archivo> <etiqueta>');
    Halt(2);
  end;
  Tabla := TDbf.Create(nil);
  Etiquetas := TStringList.Create;
  try
    Tabla.FilePathFull := IncludeTrailingPathDelimiter(ParamStr(1));
    Tabla.TableName := ParamStr(2);
    Tabla.ReadOnly := True;
    Tabla.Open;
    Tabla.GetIndexNames(Etiquetas);
    for i := 0 to Etiquetas.Count - 1 do
      WriteLn('etiqueta ', Etiquetas[i]);
    Tabla.IndexName := ParamStr(3);
    Tabla.First;
    while not Tabla.EOF do
    begin
      WriteLn('fila ', Tabla.PhysicalRecNo, ' ', Tabla.FieldByName('NSES').AsString, ' ',
              TrimRight(Tabla.FieldByName('DURACION').AsString));
      Tabla.Next;
    end;
    Tabla.Close;
  finally
    Etiquetas.Free;
    Tabla.Free;
  end;
end.
