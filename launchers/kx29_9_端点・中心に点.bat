REM kx29 選択した線・円弧の端点と、円・円弧の中心に点を作図
@echo off
REM #jww
REM #cd
REM #h1
REM #hc端点・中心に点を作図する線・円・円弧を範囲選択してください
REM #g1
REM #c端点だけは 1、中心だけは 2 を入力してください（省略すると両方）
REM #e
"%~dp0kx29.exe" 9 %1
