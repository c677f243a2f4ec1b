ab
c
