ORBINO-UKAZKA 3
nazov: Riešenie úlohy 3
krok 1: klik na poznamky.txt
krok 2: kláves F2
krok 3: napíšte meno.txt a stlaète Enter
