REM kx29 円と円弧を等分する点を作図
@echo off
REM #jww
REM #cd
REM #h1
REM #hc等分する円・円弧を範囲選択してください（最初の円と最初の円弧）
REM #g1
REM #c分割数を入力してください（2～1000、省略すると2）
REM #e
"%~dp0kx29.exe" 6 %1
