ORBINO-UKAZKA 4
nazov: Riešenie úlohy 4
krok 1: pravé tlaèidlo na meno.txt, Kopírova
krok 2: otvorte USB k¾úè, Prilepi
krok 3: spä na plochu, meno.txt, kláves Delete
