REM kx29 選択した線・円・円弧の交点に点を作図
@echo off
REM #jww
REM #cd
REM #h1
REM #hc交点を求める線・円・円弧を範囲選択してください
REM #g1
REM #c交点だけならそのまま Enter、重なった線の端にも作図するときは 端 と入力してください
REM #e
"%~dp0kx29.exe" 8 %1
