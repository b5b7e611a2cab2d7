REM kx29 入力した X Y の位置に点を作図（軸角に合わせて回転）
@echo off
REM #jww
REM #cd
REM #c作図する位置の X と Y を図面の原点からの実寸（mm）で、空白か読点（、）で区切って入力してください（例 2000 1000）
REM #e
"%~dp0kx29.exe" 3 %1 %2
