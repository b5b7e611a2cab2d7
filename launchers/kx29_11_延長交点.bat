REM kx29 選択した線を延長して交わる点に点を作図（交わっている線はその交点）
@echo off
REM #jww
REM #cd
REM #h1
REM #hc延長して交点を求める線を範囲選択してください（交わっている線の交点にも作図、平行な線どうしは交点なし）
REM #g1
REM #e
"%~dp0kx29.exe" 11
