REM kx29 選択した線・円・円弧のすべてを等分する点を作図
@echo off
REM #jww
REM #cd
REM #h1
REM #hc等分する線・円・円弧を範囲選択してください（選択したものすべて）
REM #g1
REM #c分割数を入力してください（2～1000、省略すると2）
REM #e
"%~dp0kx29.exe" 10 %1
