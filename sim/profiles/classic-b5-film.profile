# A classic-family scanner of level B5 with a film adapter, for trying profile files:
#   scripts/scan.sh --device sim/profiles/classic-b5-film.profile
name = classic-b5-film
family = classic
level = B5
resolutions = 200, 400, 800
bed = 6800 x 9360
option = film
option-area = 2800 x 3600
product = "Kestrel 800F    "
