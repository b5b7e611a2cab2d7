REM kx29 線を等分する点を作図
@echo off
REM #jww
REM #cd
REM #h1
REM #hc等分する線を範囲選択してください（最初の1本を等分）
REM #g1
REM #c分割数を入力してください（2～1000、省略すると2）
REM #e
"%~dp0kx29.exe" 5 %1
