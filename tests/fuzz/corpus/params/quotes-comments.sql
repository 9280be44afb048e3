select * from PROJ_ITEM where PROJ_NAME like :VALUE escape '!' -- :NOT
 and "a:b""c" = 'it''s :X' /* :Y
 */ and x = :z$1 and t = '10:30' and a[1:2] = :_u
