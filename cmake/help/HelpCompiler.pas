{ Compiles the help file from the staged pages with the CHM writer of the Free Pascal chm
  package. Build tool of the help file (cmake/build-help.sh); not part of the program.

  chmcmd 3.2.2 writes the context-id map with the project folder's absolute path in front of
  every page name, so a topic number leads nowhere once the file has left the build machine.
  This tool writes the same file with the page names as they are stored in the file.

  Usage: HelpCompiler <stage folder> <output file> <title> <default page>
  The stage folder holds files.lst (one stored file a line, relative to the folder),
  context.lst ("<number> <page>" lines), Quorvane.hhc and Quorvane.hhk. }
program HelpCompiler;

{$mode objfpc}{$H+}

uses
  cwstring, Classes, SysUtils, chmwriter, chmsitemap;

type
  TCompiler = class
  public
    Stage: String;
    Contents, Index: TMemoryStream;
    IndexMap: TChmSiteMap;
    function GetData(const DataName: String; out PathInChm: String; out FileName: String;
      var Stream: TStream): Boolean;
    procedure LastFileAdded(Sender: TObject);
  end;

function TCompiler.GetData(const DataName: String; out PathInChm: String;
  out FileName: String; var Stream: TStream): Boolean;
begin
  Result := False; // true would stop the writer
  TMemoryStream(Stream).LoadFromFile(Stage + DataName);
  FileName := ExtractFileName(DataName);
  PathInChm := '/' + ExtractFilePath(DataName);
end;

procedure TCompiler.LastFileAdded(Sender: TObject);
var
  Writer: TChmWriter;
begin
  Writer := TChmWriter(Sender);
  Index.Position := 0;
  Writer.AppendIndex(Index);
  Writer.AppendBinaryIndexFromSiteMap(IndexMap, False);
  Contents.Position := 0;
  Writer.AppendTOC(Contents);
end;

var
  Compiler: TCompiler;
  Writer: TChmWriter;
  Output: TFileStream;
  Lines: TStringList;
  I, Space: Integer;
  Line: String;
begin
  if ParamCount <> 4 then
  begin
    WriteLn(StdErr, 'usage: HelpCompiler <stage folder> <output file> <title> <default page>');
    Halt(2);
  end;
  Compiler := TCompiler.Create;
  Compiler.Stage := IncludeTrailingPathDelimiter(ParamStr(1));
  Compiler.Contents := TMemoryStream.Create;
  Compiler.Contents.LoadFromFile(Compiler.Stage + 'Quorvane.hhc');
  Compiler.Index := TMemoryStream.Create;
  Compiler.Index.LoadFromFile(Compiler.Stage + 'Quorvane.hhk');
  Compiler.IndexMap := TChmSiteMap.Create(stIndex);
  Compiler.Index.Position := 0;
  Compiler.IndexMap.LoadFromStream(Compiler.Index);

  Output := TFileStream.Create(ParamStr(2), fmCreate);
  Writer := TChmWriter.Create(Output, True);
  Writer.OnGetFileData := @Compiler.GetData;
  Writer.OnLastFile := @Compiler.LastFileAdded;
  Writer.FilesToCompress.LoadFromFile(Compiler.Stage + 'files.lst');
  Writer.Title := ParamStr(3);
  Writer.DefaultPage := ParamStr(4);
  Writer.FullTextSearch := True;
  Writer.HasBinaryTOC := False;
  Writer.HasBinaryIndex := True;
  Writer.TocName := 'Quorvane.hhc';
  Writer.IndexName := 'Quorvane.hhk';
  Writer.LocaleID := $0804; // Chinese (PRC): the viewer reads the pages in code page 936

  Lines := TStringList.Create;
  Lines.LoadFromFile(Compiler.Stage + 'context.lst');
  for I := 0 to Lines.Count - 1 do
  begin
    Line := Trim(Lines[I]);
    Space := Pos(' ', Line);
    if Space > 0 then
      Writer.AddContext(StrToInt(Copy(Line, 1, Space - 1)), Trim(Copy(Line, Space + 1, MaxInt)));
  end;
  Lines.Free;

  Writer.Execute;
  Writer.Free; // frees the output stream
  Compiler.IndexMap.Free;
  Compiler.Index.Free;
  Compiler.Contents.Free;
  Compiler.Free;
end.
